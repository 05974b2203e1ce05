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

run: build
	$(BUILD_DIR)/veltrase $(ARGS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure $(CTEST_ARGS)

clean:
	rm -rf $(BUILD_DIR)
