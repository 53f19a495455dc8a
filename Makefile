# Front door of the project. Every target installs what it needs first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-bench
FUZZ_BUILD ?= build-fuzz
JOBS       ?= 2
FUZZ_SECONDS ?= 60
CMAKE_GEN  := -G Ninja

.PHONY: all deps configure build test test-sanitize bench demo fuzz install uninstall clean format format-check

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

install: configure
	cmake --build $(BUILD) -j$(JOBS) --target zelk
	cmake --install $(BUILD) --prefix $(PREFIX)

# Removes what `make install` put in place, as listed in its manifest.
uninstall:
	@[ -f $(BUILD)/install_manifest.txt ] || { echo "nothing installed from $(BUILD)"; exit 1; }
	xargs -d '\n' rm -fv <$(BUILD)/install_manifest.txt

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails when clang-format would change a tracked source file.
format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
