# The two commands of the README: `make run` and `make test`. `make build` only builds.
.PHONY: all deps build test run clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@tools/build.sh

test: build
	@tools/test.sh

run: build
	@tools/run.sh

clean:
	rm -rf build
