# The two commands a newcomer needs: `make run` and `make test`.
# Both install what is missing (scripts/install-deps), configure and build.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
SAMPLE     ?= app/resources/sample-plot.png
CMAKE_ARGS ?=

# Warnings are errors here and in CI; a warning is a fault we have not looked at yet.
COMMON_FLAGS = -DPLOTMETER_WERROR=ON $(CMAKE_ARGS)

export ASAN_OPTIONS  = detect_leaks=1:allocator_may_return_null=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS  = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

.PHONY: all deps build run test test-plain test-sanitized clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(COMMON_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-plotmeter $(BUILD)/plotmeter $(SAMPLE)

test: test-plain test-sanitized

test-plain: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# The same suite again, built with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer; any report fails the run.
test-sanitized: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPLOTMETER_SANITIZE=ON $(COMMON_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) -j $(JOBS) --output-on-failure

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
