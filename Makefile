# Quillet: make demo | make test | make build | make bench
# Each target first installs what is missing (Debian packages as root, the cached wine
# prefix), then builds all three trees:
#   build/win     Windows x86-64 (mingw-w64): Quillet.dll, Halvory.dll, tests, demo host
#   build/native  native Linux, optimised: quillet-fx, benchmarks
#   build/asan    native Linux with AddressSanitizer and UBSan: unit tests
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all deps build test demo bench format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@mkdir -p build
	@cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >build/cmake-win.log 2>&1 || { cat build/cmake-win.log; exit 1; }
	@cmake --build build/win -j$(JOBS)
	@cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >build/cmake-native.log 2>&1 || { cat build/cmake-native.log; exit 1; }
	@cmake --build build/native -j$(JOBS)
	@cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON >build/cmake-asan.log 2>&1 || { cat build/cmake-asan.log; exit 1; }
	@cmake --build build/asan -j$(JOBS)

test: build
	@scripts/run-tests.sh

demo: build
	@scripts/run-demo.sh

bench: build
	@scripts/run-bench.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
