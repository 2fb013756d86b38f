# `make run` and `make test` are the two commands of the README; both install what is missing.
# The package check and the configure step run again only when their inputs change (the stamps
# below); CMake re-runs itself when a CMakeLists.txt changes.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean format-check
.PHONY: test-extra test-fuzz test-asan test-static test-start-close fuzz soak windows test-windows

all: build

deps: $(BUILD_DIR)/.deps-test

# What running needs; what testing adds. `make run` never installs the second list.
$(BUILD_DIR)/.deps-build: scripts/deps.sh
	@scripts/deps.sh build
	@mkdir -p $(BUILD_DIR) && touch $@
$(BUILD_DIR)/.deps-test: scripts/deps.sh
	@scripts/deps.sh test
	@mkdir -p $(BUILD_DIR) && touch $@ $(BUILD_DIR)/.deps-build

# Configured again after the test packages arrive, so the tests that need them are added.
$(BUILD_DIR)/.configured-build: $(BUILD_DIR)/.deps-build
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	@touch $@
$(BUILD_DIR)/.configured-test: $(BUILD_DIR)/.deps-test
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	@touch $@ $(BUILD_DIR)/.configured-build

configure: $(BUILD_DIR)/.configured-build

build: $(BUILD_DIR)/.configured-build
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tobrin tobrin_xctl

run: build
	@BUILD_DIR=$(abspath $(BUILD_DIR)) scripts/run.sh

test: $(BUILD_DIR)/.configured-test
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && ctest --output-on-failure
	@if [ "$${CI:-}" = true ]; then $(MAKE) --no-print-directory --keep-going test-extra; fi

# Every C++ file formatted with the project's .clang-format; lists the files that are not.
format-check: $(BUILD_DIR)/.deps-test
	@bad=$$(git ls-files '*.cpp' '*.hpp' | xargs clang-format --dry-run 2>&1 | \
	  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning.*/\1/p' | sort -u); \
	if [ -n "$$bad" ]; then echo "Not formatted (run clang-format -i on them):"; echo "$$bad"; exit 1; fi

# The benchmark (bench/): real frame counts under Xvfb; the figures go to $(BUILD_DIR)/bench.json.
bench: $(BUILD_DIR)/.configured-build
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tobrin tobrin_bench
	@scripts/with-xvfb.sh $(BUILD_DIR)/bench/tobrin_bench --json $(BUILD_DIR)/bench.json

clean:
	rm -rf $(BUILD_DIR) out

# Reliability checks. `make test` runs them all after the plain tests when CI=true (as .ci/run
# sets), one failing not skipping the others; a developer runs them by name. Each has its own
# build directory.
ASAN_BUILD_DIR ?= build-asan
STATIC_BUILD_DIR ?= build-static
FUZZ_SECONDS ?= 600
CI_FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 300
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/sanitizer/lsan.supp:print_suppressions=0

test-extra: format-check test-fuzz test-asan test-static test-start-close

# Every fuzz target for a bounded time (clang, libFuzzer, ASan + UBSan).
test-fuzz: deps
	@scripts/fuzz.sh $(CI_FUZZ_SECONDS)

fuzz: deps
	@scripts/fuzz.sh $(FUZZ_SECONDS)

# The whole test suite built with ASan + UBSan; any report fails its test.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD_DIR) -DTOBRIN_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@cd $(ASAN_BUILD_DIR) && $(SANITIZER_ENV) ctest --output-on-failure

# The static-runtime build: libstdc++ and libgcc must not be needed at run time, and the
# end-to-end tests must pass on it as on the default build.
test-static: deps
	@cmake -S . -B $(STATIC_BUILD_DIR) -DTOBRIN_STATIC_RUNTIME=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(STATIC_BUILD_DIR) -j $(JOBS)
	@if readelf -d $(STATIC_BUILD_DIR)/tobrin | grep -E 'NEEDED.*(libstdc\+\+|libgcc_s)'; then \
	  echo "$(STATIC_BUILD_DIR)/tobrin still needs the shared C++ runtime"; exit 1; fi
	@cd $(STATIC_BUILD_DIR) && ctest --output-on-failure -R '^e2e_' -E '^e2e_soak'

# START_CLOSE_RUNS starts of the real program against one Xvfb with a build beside them, each
# closed as soon as its window shows: every one must open its window and end 0 within 2 s.
START_CLOSE_RUNS ?= 200
test-start-close: $(BUILD_DIR)/.configured-build
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tobrin tobrin_xctl
	@BUILD_DIR=$(abspath $(BUILD_DIR)) scripts/test-start-close.sh $(START_CLOSE_RUNS)

# The real program under random input for SOAK_SECONDS (CI's `make test` runs a 60 s version).
soak: $(BUILD_DIR)/.configured-test
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && TOBRIN_SOAK_SECONDS=$(SOAK_SECONDS) ctest --output-on-failure -V -R '^e2e_soak'

# Windows: Tobrin.exe cross-built with mingw-w64 in both runtime builds, laid out in
# build-windows/{static,shared}/ with the zip beside them (scripts/build-windows.sh).
windows:
	@scripts/deps.sh windows
	@JOBS=$(JOBS) scripts/build-windows.sh

# Both builds under Wine on their own Xvfb display and Wine prefix (scripts/test-windows.sh).
# The driver is a Linux program, built with the Linux tests.
test-windows: windows $(BUILD_DIR)/.configured-test
	@scripts/deps.sh windows-test
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target wine_exe_test wine_fxview_test
	@BUILD_DIR=$(abspath $(BUILD_DIR)) scripts/test-windows.sh
