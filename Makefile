# The two commands of the README:
#   make run   installs what is missing, builds, and runs Tryster on the
#              bundled demo game folder
#   make test  installs what is missing, builds with the sanitizers, and
#              runs every test (and each fuzz target for a short while)
# and the others:
#   make package        the Debian package (build/release/tryster_*.deb)
#   make check-package  unpacks it into a scratch folder and runs it there
#   make bench          every benchmark, ending with one table of figures
#   make fuzz-campaign  every fuzz target for FUZZ_CAMPAIGN_SECONDS, two at a
#                       time, then its corpus shrunk into fuzz/corpus
#   make docs           the guide's pictures (docs/images), taken from the
#                       real window on a demo game folder
#   make mutants        the fixed sample of single faults put into src/, one
#                       at a time, and what the tests catch of them

CMAKE ?= cmake
FUZZ_SECONDS ?= 30
FUZZ_CAMPAIGN_SECONDS ?= 1800
FUZZ_WORK ?= build/fuzz-campaign
MUTANTS_SEED ?= 27
MUTANTS_COUNT ?= 120
MUTANTS_LEAST ?= 10

RELEASE := build/release
BENCH := build/bench
DEV := build/dev
FUZZ := build/fuzz
RUNDIR := build/run

.PHONY: all run test release dev fuzz fuzz-smoke fuzz-campaign bench bench-build demo docs mutants package check-package clean

all: release

# Only what building and running the program need: no test or benchmark
# packages.
release:
	@scripts/install-deps build
	$(CMAKE) --preset release >/dev/null
	$(CMAKE) --build --preset release

dev:
	@scripts/install-deps build test
	$(CMAKE) --preset dev >/dev/null
	$(CMAKE) --build --preset dev

fuzz:
	@scripts/install-deps build test
	$(CMAKE) --preset fuzz >/dev/null
	$(CMAKE) --build --preset fuzz

bench-build:
	@scripts/install-deps build bench
	$(CMAKE) --preset bench >/dev/null
	$(CMAKE) --build --preset bench

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

# A second run with the same FUZZ_WORK goes on from the corpora of the first.
fuzz-campaign: fuzz
	@scripts/fuzz-campaign "$(FUZZ)" $(FUZZ_CAMPAIGN_SECONDS) "$(FUZZ_WORK)"
	@scripts/fuzz-merge "$(FUZZ)" "$(FUZZ_WORK)"

bench: bench-build
	@scripts/run-bench "$(BENCH)"

# The pictures come from the release build's walk through the window, under
# Qt's offscreen platform; the same build writes the same bytes, so only
# pictures of a changed window change.
docs: release
	$(CMAKE) --build --preset release --target tryster-docshots
	"$(RELEASE)/tools/docshots/tryster-docshots" docs/images

# Each mutant is built without sanitizers in build/mutants (ccache keeps the
# clean objects, so putting one back costs a cache hit), and every test whose
# program links the library it changed runs, until one catches it. The
# report lands in build/mutants/report.md, the score beside the score without
# the equivalent mutants of docs/mutants/equivalent.md. With
# MUTANTS_AGAIN=docs/mutants/results.json (the last whole run's results, kept
# with its report), only the survivors not listed as equivalent run again,
# after tests were added: the rest keep their outcome.
mutants:
	@scripts/install-deps build test mutants
	@scripts/mutation-sample --seed $(MUTANTS_SEED) --count $(MUTANTS_COUNT) --least $(MUTANTS_LEAST) \
	  $(if $(MUTANTS_AGAIN),--again $(MUTANTS_AGAIN)) \
	  --report build/mutants/report.md --results build/mutants/results.json

package: release
	@scripts/install-deps build package
	$(CMAKE) --build --preset release --target package

check-package: package
	@scripts/check-package "$(RELEASE)"

clean:
	rm -rf build
