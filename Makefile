# SPDX-License-Identifier: GPL-3.0-or-later
# Front door of the project. Every target installs what it needs first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-bench
FUZZ_BUILD ?= build-fuzz
RELEASE_BUILD ?= build-release
PKG_BUILD  ?= build-pkg
JOBS       ?= 2
FUZZ_SECONDS ?= 60
CMAKE_GEN  := -G Ninja

.PHONY: all deps configure build test test-sanitize bench demo fuzz install uninstall package \
  package-check clean format format-check

all: build

deps:
	@./scripts/install-deps.sh

PREFIX     ?= /usr/local

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_TESTS=ON \
	  -DCMAKE_INSTALL_PREFIX=$(PREFIX)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --test-dir $(ASAN_BUILD) -j$(JOBS) --output-on-failure

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZELK_BENCH=ON -DZELK_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@for b in $(BENCH_BUILD)/bench/*_bench; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b" || true; done

# The demo needs the program only; the tests are built by `make test`.
demo: configure
	cmake --build $(BUILD) -j$(JOBS) --target zelk
	./scripts/demo.sh $(BUILD)/src/zelk

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZELK_FUZZ=ON -DZELK_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets
	./scripts/fuzz.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

# The installed program is a Release build, stripped; its symbols stay in
# $(RELEASE_BUILD)/src/zelk.debug. DESTDIR stages the install elsewhere.
install: deps
	cmake -S . -B $(RELEASE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZELK_TESTS=OFF \
	  -DZELK_RELEASE_DEBUG_INFO=ON -DZELK_SPLIT_DEBUG=ON -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(RELEASE_BUILD) -j$(JOBS) --target zelk zelk_docs
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_BUILD) --prefix $(PREFIX)

# Removes exactly what `make install` put there (with the same PREFIX and DESTDIR), and
# the folders it made when they are empty again: cmake/Uninstall.cmake.
uninstall:
	cmake -DRECORDS=$(CURDIR)/$(RELEASE_BUILD)/uninstall -DPREFIX=$(PREFIX) -DDESTDIR="$(DESTDIR)" \
	  -P cmake/Uninstall.cmake

# The Debian package zelk_VERSION_ARCH.deb (and zelk-dbgsym, its symbols), in this folder.
package: deps
	./scripts/install-deps.sh --package
	cmake -S . -B $(PKG_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZELK_TESTS=OFF \
	  -DZELK_RELEASE_DEBUG_INFO=ON -DZELK_SPLIT_DEBUG=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PKG_BUILD) -j$(JOBS) --target zelk zelk_docs
	cd $(PKG_BUILD) && cpack -G DEB
	cp $(PKG_BUILD)/zelk_*.deb $(PKG_BUILD)/zelk-dbgsym_*.ddeb .

# The package's checks: lintian, appstreamcli and desktop-file-validate.
package-check: package
	./scripts/check-package.sh zelk_*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails when clang-format would change a tracked source file.
format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
