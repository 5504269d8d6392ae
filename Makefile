# The two commands a newcomer needs: `make run` and `make test`.
# Both install what is missing (scripts/install-deps), configure and build.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fit cell_numbers open_picture project extract axes_text axes_geometry
JOBS       ?= $(shell nproc)
SAMPLE     ?= app/resources/sample-plot.png
CMAKE_ARGS ?=

# Warnings are errors here and in CI; a warning is a fault we have not looked at yet.
COMMON_FLAGS = -DPLOTMETER_WERROR=ON $(CMAKE_ARGS)

export ASAN_OPTIONS  = detect_leaks=1:allocator_may_return_null=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS  = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

PREFIX     ?= /usr/local
PACKAGE_BUILD ?= build-package

.PHONY: all deps build run test test-plain test-sanitized test-release memcheck fuzz fuzz-build fuzz-smoke bench clean install package

all: build

deps:
	@scripts/install-deps

# Configured every time with every option spelled out, so a build folder left configured
# otherwise (say, without tests) can never make `make test` pass by running nothing.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTMETER_TESTS=ON -DPLOTMETER_WITH_QT=ON \
	  -DPLOTMETER_SANITIZE=OFF -DPLOTMETER_FUZZ=OFF -DPLOTMETER_BENCH=OFF $(COMMON_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-plotmeter $(BUILD)/plotmeter $(SAMPLE)

test: test-plain test-release test-sanitized memcheck fuzz-smoke

test-plain: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --no-tests=error

# The same suite again, built with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer; any report fails the run.
test-sanitized: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPLOTMETER_TESTS=ON -DPLOTMETER_WITH_QT=ON \
	  -DPLOTMETER_SANITIZE=ON -DPLOTMETER_FUZZ=OFF -DPLOTMETER_BENCH=OFF $(COMMON_FLAGS) >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) -j $(JOBS) --output-on-failure --no-tests=error

# A scripted session in the real window (open, calibrate, 10,000 points, clear, open
# again) under valgrind: any memory error or definite leak fails.
memcheck: build
	QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
	  --error-exitcode=1 --num-callers=30 -q $(BUILD)/tests/headless_session

# libFuzzer targets (clang, with ASan and UBSan), each run for FUZZ_SECONDS from the
# seeds in fuzz/corpus; `make test` runs them briefly.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLOTMETER_FUZZ=ON -DPLOTMETER_TESTS=OFF $(COMMON_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))

fuzz: fuzz-build
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

fuzz-smoke:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=10

# Speed and memory, each figure against a floor measured in the same run on this machine
# (docs/performance.md): a Release build of its own, then bench/run prints the table.
# Not part of `make test`.
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DPLOTMETER_BENCH=ON -DPLOTMETER_TESTS=OFF $(COMMON_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	nice bench/run $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD)

# Installs the program, its desktop entry, the project file type and the icons under
# PREFIX (default /usr/local): `make install PREFIX=$HOME/.local`.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The program as the package builds it: Release, without tests. GCC's optimiser reveals
# warnings that the other builds never see, so `make test` builds this too.
test-release: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DPLOTMETER_TESTS=OFF \
	  -DPLOTMETER_WITH_QT=ON -DPLOTMETER_SANITIZE=OFF -DPLOTMETER_FUZZ=OFF -DPLOTMETER_BENCH=OFF $(COMMON_FLAGS) >/dev/null
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target plotmeter

# A Debian package in build-package/, from that Release build.
package: test-release
	cd $(PACKAGE_BUILD) && cpack -G DEB
