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
