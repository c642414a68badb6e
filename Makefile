# The two commands of the README, and a few more for developers. 'make' alone builds.
.DEFAULT_GOAL := build
# Build jobs: one a core, unless given on the command line or in the environment ('make JOBS=1').
ifeq ($(origin JOBS),undefined)
JOBS := $(shell nproc 2>/dev/null || echo 2)
endif

.PHONY: deps build test run clean

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

test: build
	@ctest --preset default -j $(JOBS)

# Every test but the Debian package's, which builds the package (label 'packaging').
.PHONY: test-quick
test-quick: build
	@ctest --preset default -j $(JOBS) -LE packaging

run: build
	@cd examples && ../build/bin/veltrin

# Rewrites the golden +2 listings and veltrin-cli's help text in tests/data from the current code: review the
# diff before committing it.
.PHONY: golden
# Each golden listing has its model's default name.
golden: build
	@cd tests/data && ../../build/bin/veltrin-cli --source ../../examples/Spectrum128_ROM0.asm
	@build/bin/veltrin-cli --help >tests/data/cli_help.txt
	@git diff --stat -- tests/data

clean:
	rm -rf build build-*

# clang-tidy with .clang-tidy over the files of src/ that the build compiles; any warning fails it.
.PHONY: tidy
tidy: build
	@JOBS=$(JOBS) bash scripts/tidy.sh

# Robustness and speed: libFuzzer targets built with clang, and the conversion benchmark.
.PHONY: fuzz bench test-sanitize
FUZZ_SECONDS ?= 60

fuzz:
	@bash scripts/install-deps.sh clang libclang-rt-14-dev
	@FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash fuzz/run.sh

bench: deps
	@JOBS=$(JOBS) bash bench/run.sh

# Every test again with AddressSanitizer and UndefinedBehaviorSanitizer; the first report fails the run.
test-sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)
	@ctest --preset sanitize -j $(JOBS)

# The create and check commands, whose models are derived on threads of their own, and veltrin-cli under
# ThreadSanitizer, in build-thread/; the first report of a race fails the run.
.PHONY: test-thread
test-thread: deps
	@cmake --preset thread >/dev/null
	@cmake --build --preset thread -j $(JOBS) --target command_tests cli_tests veltrin-cli
	@ctest --preset thread -j $(JOBS)

# The POSIX file layer without the calls that only Linux has, as other POSIX systems build it, in build-portable/:
# the listing files' tests and the killed runs.
.PHONY: test-portable
test-portable: deps
	@cmake -S . -B build-portable -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIN_PORTABLE_POSIX=ON \
		-DVELTRIN_BUILD_WINDOW=OFF >/dev/null
	@cmake --build build-portable -j $(JOBS) --target listing_file_tests veltrin-cli
	@ctest --test-dir build-portable -j $(JOBS) --output-on-failure -R "ListingFile|Staging|killed"

# Windows and Linux packaging.
.PHONY: test-windows package package-windows

# Everything cross-compiled with mingw-w64 into build-windows/, the setup and zip among it, tested under Wine.
test-windows: deps
	@JOBS=$(JOBS) bash scripts/test-windows.sh

# The Windows setup, build-windows/veltrin-<version>-setup.exe, and build-windows/veltrin-<version>-windows.zip.
package-windows: deps
	@bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix nsis
	@cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-windows -j $(JOBS) --target package_windows
	@ls -l build-windows/veltrin-*-setup.exe build-windows/veltrin-*-windows.zip

# The Debian package of both executables, in build/.
package: build
	@bash scripts/install-deps.sh desktop-file-utils
	@cd build && cpack -G DEB
