#!/usr/bin/env bash
# Makes docs/screenshot.png: Veltrase a few seconds into a run over the example
# playlist, on a private virtual screen, cropped to the window.
#   docs/make-screenshot.sh [PROGRAM]       (default: build/veltrase)
# Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/veltrase}
shot=docs/screenshot.png

# As root (a container) the browser runs without its sandbox, as `make run` does.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QT_QPA_PLATFORM=xcb

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    program=$1 shot=$2
    "$program" /f=examples/local-pages.txt /t=20 >/dev/null 2>&1 &
    pid=$!
    trap "kill -TERM $pid 2>/dev/null; wait $pid 2>/dev/null || true" EXIT
    # The window is replaced by one the engine can draw into when the first page
    # starts it, so look for it once the first page (a clock) has loaded and ticked.
    timeout 30 xdotool search --sync --onlyvisible --name "^Veltrase" >/dev/null
    sleep 5
    window=$(xdotool search --onlyvisible --name "^Veltrase" | tail -n 1)
    # Without a window that exists, import would wait for a click: never let it.
    timeout 30 import -window "$window" "$shot"
' screenshot "$program" "$shot"
echo "wrote $shot ($(identify -format "%wx%h" "$shot"))"
