# Quillet: make demo | make test | make build | make bench | make fuzz | make soak | make install |
# make dist
# Each target first installs what is missing (Debian packages as root, the cached wine
# prefix), then builds the trees it needs:
#   build/win     Windows x86-64 (mingw-w64): Quillet.dll, Halvory.dll, tests, demo host
#   build/native  native Linux, optimised: quillet-fx, benchmarks
#   build/asan    native Linux with AddressSanitizer and UBSan: unit tests
#   build/fuzz    clang with libFuzzer, ASan and UBSan: the fuzz harnesses (make fuzz, make test)
SHELL := /bin/bash
JOBS ?= $(shell nproc)
# Seconds each fuzz harness runs under `make fuzz`; they run one after another.
FUZZ_SECONDS ?= 120
# Seconds of random use of every dialog under `make soak`, a new seed each run; SEED=S (and the
# ROUNDS and HEAP it ran with) replays one; every other seed runs under wine's heap checking.
SECONDS ?= 600
SEED ?=
ROUNDS ?=
HEAP ?=

.PHONY: all deps build build-win build-native build-asan build-fuzz test demo bench fuzz soak format \
        clean install install-native dist prefix

all: build

deps:
	@scripts/install-deps.sh

# configure TREE ARGS...: runs cmake once per tree, showing its log only when it fails.
configure = mkdir -p build && cmake -S . -B build/$(1) $(2) >build/cmake-$(1).log 2>&1 || { cat build/cmake-$(1).log; exit 1; }

build: build-win build-native build-asan build-fuzz

build-win: deps
	@$(call configure,win,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo)
	@cmake --build build/win -j$(JOBS)

build-native: deps
	@$(call configure,native,-DCMAKE_BUILD_TYPE=Release)
	@cmake --build build/native -j$(JOBS)

build-asan: deps
	@$(call configure,asan,-DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON)
	@cmake --build build/asan -j$(JOBS)

build-fuzz: deps
	@$(call configure,fuzz,-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_FUZZ=ON)
	@cmake --build build/fuzz -j$(JOBS)

# The tests need the Windows tree, the sanitized native tree and the fuzz tree, not the benchmarks.
test: build-win build-asan build-fuzz
	@scripts/run-tests.sh

fuzz: build-fuzz
	@scripts/run-fuzz.sh $(FUZZ_SECONDS)

soak: build-win
	@scripts/printer-session.sh scripts/wine-session.sh scripts/run-soak.sh $(SECONDS) "$(SEED)" "$(ROUNDS)" "$(HEAP)"

demo: build-win
	@scripts/run-demo.sh

bench: build-native
	@scripts/install-deps.sh --bench
	@scripts/run-bench.sh

# The package for hosts: make install PREFIX=DIR (Windows), make install-native PREFIX=DIR
# (Linux tools: the effects library alone), make dist (out/dist/quillet-VERSION-win64.zip).
install: prefix build-win
	@cmake --install build/win --prefix "$(PREFIX)"

install-native: prefix build-native
	@cmake --install build/native --prefix "$(PREFIX)"

prefix:
	@[ -n "$(PREFIX)" ] || { echo "usage: make install PREFIX=DIR (or install-native)" >&2; exit 2; }

# The install tree and the README's host guide in one zip, named after the project's version.
dist: build-win
	@version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win/CMakeCache.txt); \
	 name=quillet-$$version-win64; stage=out/dist/stage; \
	 rm -rf $$stage out/dist/$$name.zip && mkdir -p $$stage && \
	 cmake --install build/win --prefix $$stage/$$name >/dev/null && \
	 awk '/^## /{ p = /^## Host guide/ } p' README.md >$$stage/$$name/HOST-GUIDE.md && \
	 (cd $$stage && cmake -E tar cf ../$$name.zip --format=zip $$name) && \
	 rm -rf $$stage && echo "out/dist/$$name.zip"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
