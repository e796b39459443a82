# The two commands of the README, and the rest.
BUILD ?= build
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: all deps configure build run test bench screenshot clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/hattsheet ]; then $(BUILD)/bin/hattsheet; else $(BUILD)/bin/hattsheet-convert --help; fi

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

screenshot: build
	@BUILD=$(BUILD) scripts/screenshot

bench: build
	@if [ -x scripts/bench ]; then scripts/bench; else echo "no benchmarks yet"; fi

clean:
	rm -rf $(BUILD)
