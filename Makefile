# Entry points for newcomers and CI. Every target installs what it misses: the build packages,
# and for the tests GoogleTest and the PDF tools they may compare with.
BUILD      ?= build
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# The PDF bench-tools compares the tools on; made from manual pages when missing.
BOOK       ?= build-bench/book.pdf

# groff-base and parallel: the manual page's tests lint the page and run its many-files recipes;
# openssh-server and rsync: the README's many-machines recipe runs against a private sshd.
TEST_PACKAGES := libgtest-dev qpdf ghostscript poppler-utils groff-base parallel openssh-server rsync

.PHONY: all deps test-deps build test test-sanitize demo bench bench-tools fuzz clean

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

# Only the program, in its own directory, so that the demo needs no test packages. Shows the
# sample's text; fails when vorbix fails or the sample's last line is missing.
demo: deps
	cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORBIX_TESTS=OFF >/dev/null
	cmake --build build-demo -j $(JOBS) --target vorbix
	@build-demo/vorbix examples/sample.pdf -T > build-demo/demo.txt; status=$$?; cat build-demo/demo.txt; exit $$status
	@grep -q "Second page: numbers 1 2 3 and symbols & % \$$." build-demo/demo.txt || \
	  { echo "demo: the sample's text is missing"; exit 1; }

bench:
	@sh tools/install-deps.sh qpdf
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVORBIX_TESTS=OFF -DVORBIX_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench_*; do echo "== $$b"; $$b || exit 1; done

# vorbix in its three output types (into a file and with -T) against pdftotext and mutool on
# BOOK: times, ratios, peak memory; then peak memory against pages on the book of one, five
# and ten copies.
bench-tools: deps
	@sh tools/install-deps.sh mupdf-tools groff time poppler-utils qpdf ghostscript
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVORBIX_TESTS=OFF -DVORBIX_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS) --target vorbix
	@[ -f $(BOOK) ] || sh bench/make_book.sh $(BOOK)
	@[ -f build-bench/book1.pdf ] || sh bench/make_book.sh build-bench/book1.pdf 1
	@[ -f build-bench/book5.pdf ] || sh bench/make_book.sh build-bench/book5.pdf 5
	sh bench/compare_tools.sh $(BOOK)
	sh bench/memory_by_pages.sh build-bench/book1.pdf build-bench/book5.pdf $(BOOK)

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
	rm -rf $(RELEASE_BUILD)

# Installing: a release build of the program alone (no tests), put under PREFIX.
# DESTDIR stages the files elsewhere, as packaging tools expect.
PREFIX        ?= /usr/local
RELEASE_BUILD ?= build-release
.PHONY: release install uninstall package

release:
	@sh tools/install-deps.sh
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DVORBIX_TESTS=OFF >/dev/null
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

install: release
	cmake --install $(RELEASE_BUILD) --prefix $(PREFIX)

# Removes every file the last install listed in its manifest (which leaves DESTDIR out,
# so give the same DESTDIR again); folders stay.
uninstall:
	@test -f $(RELEASE_BUILD)/install_manifest.txt || { echo "Nothing installed from $(RELEASE_BUILD)."; exit 1; }
	while IFS= read -r file || [ -n "$$file" ]; do rm -fv -- "$(DESTDIR)$$file"; done < $(RELEASE_BUILD)/install_manifest.txt
	rm -f $(RELEASE_BUILD)/install_manifest.txt

# vorbix_<version>_<arch>.deb in $(RELEASE_BUILD); dpkg-shlibdeps (dpkg-dev) computes the
# dependencies and needs `file` to find the programs.
package: release
	@sh tools/install-deps.sh dpkg-dev file
	cd $(RELEASE_BUILD) && cpack -G DEB
