# The two commands of the README, and a few more for developers.
JOBS ?= 2

.PHONY: deps build test run clean

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

test: build
	@ctest --preset default

run: build
	@cd examples && ../build/bin/veltrin

clean:
	rm -rf build build-*

# Windows and Linux packaging.
.PHONY: test-windows package

# The core, its tests and veltrin-cli cross-compiled with mingw-w64 into build-windows/, tested under Wine.
test-windows: build
	@JOBS=$(JOBS) bash scripts/test-windows.sh

# The Debian package of both executables, in build/.
package: build
	@bash scripts/install-deps.sh desktop-file-utils
	@cd build && cpack -G DEB
