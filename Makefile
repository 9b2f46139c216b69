# Thin front door over CMake presets. `make run` and `make test` install what
# is missing first (Debian packages), then build.
JOBS ?= $(shell nproc)
CTEST = ctest --output-on-failure -j $(JOBS)
WINE_STATE = build/mingw/wine
VERSION := $(shell cat VERSION)
PACKAGE = orvante-config-$(VERSION)

.PHONY: all setup native mingw mingw32 asan run test test-native test-asan \
        test-wine test-package dist screenshots bench fuzz lint format clean \
        wine-stop

all: native mingw

setup:
	@scripts/setup.sh

native: setup
	@cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

asan: setup
	@cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

mingw: setup
	@cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS)

mingw32: setup
	@cmake --preset mingw32 >/dev/null
	cmake --build --preset mingw32 -j $(JOBS)

run: mingw
	scripts/run.sh build/mingw

test: native asan mingw mingw32 test-package
	$(CTEST) --test-dir build/native
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(CTEST) --test-dir build/asan
	$(CTEST) --test-dir build/mingw32
	scripts/home-guard.sh start build/home-guard.stamp
	scripts/wine-session.sh start $(WINE_STATE)
	$(CTEST) --test-dir build/mingw; rc=$$?; scripts/wine-session.sh stop $(WINE_STATE); exit $$rc
	scripts/home-guard.sh check build/home-guard.stamp

# The packaging of `make dist`, done on the test builds (same compiler flags)
# so that `make test` checks it without two more builds.
test-package: mingw mingw32
	scripts/package.py --x86_64 build/mingw/orvante-config.exe \
	  --i686 build/mingw32/orvante-config.exe --out build/package
	scripts/check_package.py build/package/$(PACKAGE).zip \
	  --symbols build/package/$(PACKAGE)-symbols.zip
	tests/package/check_package_test.py build/package/$(PACKAGE).zip \
	  build/package/$(PACKAGE)-symbols.zip

# What players download: release builds of their own, stripped, into dist/.
dist: setup
	@cmake --preset dist-x86_64 >/dev/null
	cmake --build --preset dist-x86_64 -j $(JOBS)
	@cmake --preset dist-i686 >/dev/null
	cmake --build --preset dist-i686 -j $(JOBS)
	scripts/package.py --x86_64 build/dist-x86_64/orvante-config.exe \
	  --i686 build/dist-i686/orvante-config.exe --out dist
	scripts/check_package.py dist/$(PACKAGE).zip --symbols dist/$(PACKAGE)-symbols.zip

test-native: native
	$(CTEST) --test-dir build/native

test-wine: mingw
	scripts/wine-session.sh start $(WINE_STATE)
	$(CTEST) --test-dir build/mingw; rc=$$?; scripts/wine-session.sh stop $(WINE_STATE); exit $$rc

# DPI=120, 144 or 192 takes them at 125 %, 150 % or 200 %.
DPI ?= 96
screenshots: mingw
	scripts/screenshots.sh build/mingw $(DPI)

bench: setup
	scripts/bench.sh

fuzz: setup
	scripts/fuzz.sh

lint: native
	scripts/lint.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Also the sessions of the other screens and scales (wine-WIDTHxHEIGHT-DPI).
wine-stop:
	for state in $(wildcard $(WINE_STATE) $(WINE_STATE)-*); do scripts/wine-session.sh stop $$state; done

clean:
	$(MAKE) wine-stop 2>/dev/null || true
	rm -rf build dist
