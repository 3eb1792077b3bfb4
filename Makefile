# Entry points for newcomers and CI. Every target installs what it misses: the build packages,
# and for the tests GoogleTest and the PDF tools they may compare with.
BUILD      ?= build
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

TEST_PACKAGES := libgtest-dev qpdf ghostscript poppler-utils

.PHONY: all deps test-deps build test test-sanitize demo bench fuzz clean

all: build

deps:
	@sh tools/install-deps.sh

test-deps:
	@sh tools/install-deps.sh $(TEST_PACKAGES)

build: test-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORBIX_TESTS=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: test-deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORBIX_SANITIZE=ON >/dev/null
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Only the program, in its own directory, so that the demo needs no test packages.
demo: deps
	cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORBIX_TESTS=OFF >/dev/null
	cmake --build build-demo -j $(JOBS) --target vorbix
	build-demo/vorbix examples/sample.pdf -T || true

bench:
	@sh tools/install-deps.sh qpdf
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVORBIX_TESTS=OFF -DVORBIX_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench_*; do echo "== $$b"; $$b || exit 1; done

fuzz:
	@sh tools/install-deps.sh clang libclang-rt-14-dev
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORBIX_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	@for f in build-fuzz/fuzz_*; do \
	  name=$$(basename $$f); mkdir -p build-fuzz/corpus/$$name; \
	  seeds=tests/fuzz/seeds/$$name; [ -d $$seeds ] || seeds=""; \
	  echo "== $$name ($(FUZZ_SECONDS)s)"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build-fuzz/corpus/$$name $$seeds || exit 1; \
	done

clean:
	rm -rf $(BUILD) build-demo build-sanitize build-bench build-fuzz
