# The two commands of the README:
#   make run   installs what is missing, builds, and runs Tryster on the
#              bundled demo game folder
#   make test  installs what is missing, builds with the sanitizers, and
#              runs every test (and each fuzz target for a short while)

CMAKE ?= cmake
FUZZ_SECONDS ?= 30

RELEASE := build/release
DEV := build/dev
FUZZ := build/fuzz
RUNDIR := build/run

.PHONY: all run test deps release dev fuzz fuzz-smoke bench demo clean

all: release

deps:
	@scripts/install-deps

release: deps
	$(CMAKE) --preset release >/dev/null
	$(CMAKE) --build --preset release

dev: deps
	$(CMAKE) --preset dev >/dev/null
	$(CMAKE) --build --preset dev

fuzz: deps
	$(CMAKE) --preset fuzz >/dev/null
	$(CMAKE) --build --preset fuzz

# The demo game folder, made by the project's own generator, and a registry
# file that points the program at it.
demo: release
	@scripts/make-demo "$(RELEASE)" "$(RUNDIR)"

run: demo
	cd "$(RUNDIR)" && TRYSTER_REGISTRY="$(CURDIR)/$(RUNDIR)/registry.ini" \
	  "$(CURDIR)/$(RELEASE)/bin/tryster"

test: dev fuzz
	QT_QPA_PLATFORM=offscreen ctest --preset dev
	@scripts/fuzz-smoke "$(FUZZ)" $(FUZZ_SECONDS)

fuzz-smoke: fuzz
	@scripts/fuzz-smoke "$(FUZZ)" $(FUZZ_SECONDS)

bench: demo
	@scripts/run-bench "$(RELEASE)" "$(RUNDIR)"

clean:
	rm -rf build
