#!/usr/bin/env bash
# Times opening and saving a playlist of 32,767 entries, the most the program holds.
#   bench/playlist-load-save.sh [REPEATS]       (BUILD_DIR to build elsewhere)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-bench-playlist}

cmake -S bench/playlist -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j2 --target playlist_load_save >/dev/null
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build_dir/playlist_load_save" "${1:-7}"
