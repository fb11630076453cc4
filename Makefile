# The two commands of the README: `make run` and `make test`. `make build` only builds;
# `make mutate` plants the faults of tools/mutants.txt one by one and reports those no test caught;
# `make mutate-sample [N=40] [SEED=...] [SINCE=commit]` plants faults on lines drawn at random.
# `make dist` makes the zip and the installer, `make screenshots` the README's pictures.
.PHONY: all deps build test run mutate mutate-sample dist screenshots clean

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

N ?= 40
mutate-sample: build
	@tools/mutate.py --sample $(N) $(if $(SEED),--seed $(SEED)) $(if $(SINCE),--since $(SINCE))

dist: deps
	@tools/dist.sh

screenshots: deps
	@tools/screenshots.sh

clean:
	rm -rf build
