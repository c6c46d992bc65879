# Front door of the project: `make run` starts the program, `make test` builds and tests it.
# Every target installs the Debian packages it needs first (nothing happens when all are present).

PRESET ?= release
JOBS ?= $(shell nproc)

.PHONY: all deps build test run install package asan-test tsan-test fuzz format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

asan-test:
	$(MAKE) test PRESET=asan

tsan-test:
	$(MAKE) test PRESET=tsan

# Fuzzes the input parsers (identification and capability replies, configuration loader, CSV
# numbers and reader, MAT reader, compressed MAT elements, frame decoder, socket messages) with
# libFuzzer, FUZZ_SECONDS each, or FUZZ_RUNS executions each when that is set; not part of
# `test`.
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RUNS=$(FUZZ_RUNS) scripts/run-fuzzers build/fuzz

run: build
	@scripts/run build/$(PRESET)

# Installs the program, its tools, images, desktop entry, icons, metainfo and udev rule below
# PREFIX (DESTDIR is honoured for staging).
PREFIX ?= /usr/local
install: build
	cmake --install build/$(PRESET) --prefix $(PREFIX)

# The Debian package, build/$(PRESET)/orva2usb_<version>_<arch>.deb.
package: build
	cd build/$(PRESET) && cpack

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
