# The two commands a developer needs; everything else lives in tools/ and CMake.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build setup host windows clean format

run: build
	tools/run-client

test: build
	tools/with-display ctest --test-dir $(BUILD)/host --output-on-failure -j $(JOBS)
	tools/with-display ctest --test-dir $(BUILD)/windows --output-on-failure -j $(JOBS)

build: setup host windows

setup:
	tools/setup

host:
	cmake -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=Debug -DPLOVER_TARGET=host >/dev/null
	cmake --build $(BUILD)/host -j $(JOBS)

windows:
	cmake -S . -B $(BUILD)/windows -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DTINYXML_SOURCE_DIR=$(abspath $(BUILD))/deps/tinyxml >/dev/null
	cmake --build $(BUILD)/windows -j $(JOBS)

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD)/host $(BUILD)/windows
