# make run [ARGS='/f=list.txt /t=5']   set up, build and start Veltrase
# make test                           set up, build and run every test headless
# make test-debian13                  the same suites on Debian 13 and its Qt 6.8, in a root kept
#                                     in DEBIAN13_CACHE (made once; needs root or sudo)
# make bench                          measure, each figure beside its target (bench/)
# make bench-debian13 [ROWS=dashboard]  rows of the bench on Debian 13 and its Qt 6.8, in the
#                                     root that test-debian13 keeps
# make soak MINUTES=60                the program left running, a line a minute
# make fuzz [FUZZ_SECONDS=60]         the parsers under libFuzzer with sanitizers (fuzz/)
# make count-lines                    C++ lines of tests/ against src/
# make format                         the house style (.clang-format) over every C++ file
BUILD_DIR ?= build
ARGS ?= /f=examples/local-pages.txt /t=5
CTEST_ARGS ?=
MINUTES ?= 60
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
ROWS ?= dashboard
DEBIAN13_CACHE ?= $(HOME)/.cache/veltrase-debian13

.PHONY: deps configure build run test test-debian13 bench bench-debian13 fuzz soak format count-lines clean

deps:
	@scripts/install-deps

# ccache, when installed, makes a rebuild in a second checkout cheap.
$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

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

test-debian13:
	VELTRASE_DEBIAN13_CACHE=$(DEBIAN13_CACHE) scripts/test-debian13 $(CTEST_ARGS)

bench-debian13:
	VELTRASE_DEBIAN13_CACHE=$(DEBIAN13_CACHE) scripts/bench-debian13 $(ROWS)

# Measurements of the real program, headless; not part of `make test`.
# The instruments are checked first.
bench: build
	cmake --build $(BUILD_DIR) --target bench_programs
	VELTRASE=$(abspath $(BUILD_DIR))/veltrase python3 -m unittest -q bench/test_bench_tools.py
	VELTRASE=$(abspath $(BUILD_DIR))/veltrase python3 bench/run_all.py --output $(BUILD_DIR)/bench-results.md

soak: build
	VELTRASE=$(abspath $(BUILD_DIR))/veltrase python3 bench/soak.py $(MINUTES)

# The playlist reader and the command line under libFuzzer, each for FUZZ_SECONDS, in a
# build of their own with clang; not part of `make test`.
fuzz: deps
	@scripts/install-fuzz-deps
	cmake -S fuzz -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_DIR)
	fuzz/run-all $(FUZZ_DIR) $(FUZZ_SECONDS)

count-lines:
	@scripts/count-lines

format: deps
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
