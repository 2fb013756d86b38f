# `make run` and `make test` are the two commands of the README; both install what is missing.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@BUILD_DIR=$(abspath $(BUILD_DIR)) scripts/run.sh

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure

# The benchmark (bench/): real frame counts under Xvfb; the figures go to $(BUILD_DIR)/bench.json.
bench: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tobrin tobrin_bench
	@scripts/with-xvfb.sh $(BUILD_DIR)/bench/tobrin_bench --json $(BUILD_DIR)/bench.json

clean:
	rm -rf $(BUILD_DIR) out
