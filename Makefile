# Two commands set up everything on a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench sanitize clean install package

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target velmor
	$(BUILD)/velmor $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The program, its menu entry, icon, metainfo and manual page under PREFIX; DESTDIR stages them.
install: configure
	@cmake --build $(BUILD) -j $(JOBS) --target velmor
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package in the build folder: velmor_<version>_<arch>.deb.
package: configure
	@cmake --build $(BUILD) -j $(JOBS) --target velmor
	cd $(BUILD) && cpack

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of their own.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DVELMOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

clean:
	rm -rf $(BUILD) build-asan
