# The two commands of the README: `make run` and `make test`. Each installs what is
# missing on a Debian 12 machine, then configures and builds.
JOBS ?= $(shell nproc)
BUILD := build
ASAN_BUILD := build-asan
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
ARGS ?=

.PHONY: all deps build build-asan run test test-normal test-asan bench format clean package

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DMORVANE_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Only the program and what it reads: the tests and benchmarks wait for `make test`.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target morvane
	$(BUILD)/morvane $(ARGS)

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

test: test-normal test-asan

# The Debian package, in build/package/: CPack's DEB generator over the install rules.
# Only what it holds is built: the program, its resources, icons and manual pages.
package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target morvane morvane_resources morvane_desktop_files
	cd $(BUILD) && cpack -G DEB
	@if command -v lintian >/dev/null; then lintian --fail-on error $(BUILD)/package/*.deb; \
	else echo "lintian is not installed: the package is not checked"; fi
	@ls -1 $(BUILD)/package/*.deb

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.2 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

format:
	find src tests tools bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# The fuzzers, built with clang in their own folder; each runs FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
FUZZ_BUILD := build-fuzz

.PHONY: fuzz

fuzz:
	@scripts/install-deps --fuzz
	@FUZZ_BUILD=$(FUZZ_BUILD) JOBS=$(JOBS) scripts/fuzz $(FUZZ_SECONDS)
