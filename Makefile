# The two commands of the README: `make run` and `make test`. `make build` only builds;
# `make mutate` plants the faults of tools/mutants.txt one by one and reports those no test caught.
# `make dist` makes the zip and the installer, `make screenshots` the README's pictures.
.PHONY: all deps build test run mutate dist screenshots clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@tools/build.sh

test: build
	@tools/test.sh

run: build
	@tools/run.sh

mutate: build
	@tools/mutate.py

dist: deps
	@tools/dist.sh

screenshots: deps
	@tools/screenshots.sh

clean:
	rm -rf build
