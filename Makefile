# make run [ARGS='/f=list.txt /t=5']   set up, build and start Veltrase
# make test                           set up, build and run every test headless
BUILD_DIR ?= build
ARGS ?= /f=examples/local-pages.txt /t=5
CTEST_ARGS ?=

.PHONY: deps configure build run test bench fuzz soak clean

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR)

# The browser's sandbox cannot run as root; as root (a container, a test machine)
# the program is started without it. An ordinary user keeps it.
run: build
	@if [ "$$(id -u)" -eq 0 ]; then echo "make run: running as root, so without the browser's sandbox"; fi
	if [ "$$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi; $(BUILD_DIR)/veltrase $(ARGS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure $(CTEST_ARGS)

clean:
	rm -rf $(BUILD_DIR)
