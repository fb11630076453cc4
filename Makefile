# The two commands of the README: `make run` and `make test`. `make build` only builds;
# `make mutate` plants the faults of tools/mutants.txt one by one and reports those no test caught.
.PHONY: all deps build test run mutate clean

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

clean:
	rm -rf build
