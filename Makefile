# The two commands of the README, and the rest.
BUILD ?= build
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: all deps deps-run deps-windows deps-windows-gui windows windows-gui windows-installer configure configure-run build build-run run test test-san build-san fuzz bench \
	screenshot reference-pictures package clean

all: build

deps:
	@scripts/install-deps test

deps-run:
	@scripts/install-deps run

deps-windows:
	@scripts/install-deps windows

deps-windows-gui:
	@scripts/install-deps windows-gui

CONFIGURE = cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release

# `make run` and `make package` configure without the tests (which need PROJ)
# and build only the two programs; a tree configured with the tests keeps them.
configure-run: deps-run
	@test -f $(BUILD)/CMakeCache.txt || $(CONFIGURE) -DHATTSHEET_BUILD_TESTS=OFF

configure: deps
	@grep -qx 'HATTSHEET_BUILD_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt 2>/dev/null || \
		$(CONFIGURE) -DHATTSHEET_BUILD_TESTS=ON

build-run: configure-run
	@cmake --build $(BUILD) -j $(JOBS) --target hattsheet hattsheet-convert

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build-run
	@$(BUILD)/bin/hattsheet

# A .deb of the two programs in $(BUILD)/package (stripped, dependencies from
# dpkg-shlibdeps, every time in it the last commit's: the same bytes each run).
package: build-run
	@cd $(BUILD) && cpack -G DEB -B package
	@ls $(BUILD)/package/*.deb

# hattsheet-convert.exe for 64-bit Windows (mingw-w64, libraries linked
# statically: it needs only the DLLs of Windows itself), and the plain-C++
# tests, which `make test` runs under wine beside the Linux build.
# GeographicLib for mingw-w64 is built once from Debian's geographiclib source
# into the per-user cache (scripts/build-geographiclib-windows, a minute or
# two) and named in CMAKE_PREFIX_PATH; a tree configured with another copy of
# it (or none) is configured again, keeping its other prefixes (Qt's) and
# forgetting where it had found the library.
WIN_BUILD ?= build-windows
WIN_CONFIGURE = cmake -S . -B $(WIN_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -U 'HATTSHEET_GEOGRAPHICLIB_*'
# The tree's CMAKE_PREFIX_PATH, one prefix a line.
WIN_PREFIXES = sed -n 's/^CMAKE_PREFIX_PATH:[A-Z]*=//p' $(WIN_BUILD)/CMakeCache.txt 2>/dev/null | tr ';' '\n'
windows: deps-windows
	@gl=$$(scripts/build-geographiclib-windows) && \
	{ $(WIN_PREFIXES) | grep -qxF "$$gl" || { \
	  others=$$($(WIN_PREFIXES) | grep -v '/geographiclib-[^/]*-mingw-static-[^/]*$$' | tr '\n' ';'); \
	  ui=; test -f $(WIN_BUILD)/CMakeCache.txt || ui=-DHATTSHEET_BUILD_UI=OFF; \
	  $(WIN_CONFIGURE) $$ui "-DCMAKE_PREFIX_PATH:PATH=$$others$$gl"; }; }
	@cmake --build $(WIN_BUILD) -j $(JOBS)
	@ls $(WIN_BUILD)/bin/hattsheet-convert.exe

# The window for Windows as well, in the same tree: a static Qt for
# mingw-w64, built once from Debian's qt6-base source into the per-user cache
# (scripts/build-qt-windows; the README gives the time the first one takes),
# makes build-windows/bin/hattsheet.exe a single file that needs only the
# DLLs of Windows itself. Then the installer, hattsheet-setup-VERSION.exe.
windows-gui: deps-windows-gui
	@qt=$$(scripts/build-qt-windows) && gl=$$(scripts/build-geographiclib-windows) && \
	{ grep -qxF "CMAKE_PREFIX_PATH:PATH=$$qt;$$gl" $(WIN_BUILD)/CMakeCache.txt 2>/dev/null || \
	  $(WIN_CONFIGURE) -DHATTSHEET_BUILD_UI=ON "-DCMAKE_PREFIX_PATH:PATH=$$qt;$$gl"; }
	@cmake --build $(WIN_BUILD) -j $(JOBS)
	@ls $(WIN_BUILD)/bin/hattsheet.exe

windows-installer: windows-gui
	@cmake --build $(WIN_BUILD) --target installer
	@ls $(WIN_BUILD)/hattsheet-setup-*.exe

test: build windows-installer
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-san

# The whole test suite again under clang with ASan + UBSan (no recovery), plus
# the libFuzzer targets and a short run of each. Qt itself is not instrumented.
SAN_BUILD ?= $(BUILD)-san
SAN_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan-qt.supp:print_suppressions=0
FUZZ_SECONDS ?= 60

build-san: deps
	@test -f $(SAN_BUILD)/CMakeCache.txt || CXX=clang++-14 cmake -S . -B $(SAN_BUILD) -G "$(GENERATOR)" \
		-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DHATTSHEET_SANITIZE=ON -DHATTSHEET_FUZZ=ON
	@cmake --build $(SAN_BUILD) -j $(JOBS)

test-san: build-san
	@cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, over a working corpus under the build dir.
fuzz: build-san
	@for f in $(SAN_BUILD)/bin/fuzz_*; do n=$${f##*/}; echo "== $$n ($(FUZZ_SECONDS) s)"; \
		$(SAN_ENV) fuzz/run-fuzz $$f fuzz/corpus/$$n $(SAN_BUILD)/fuzz-corpus/$$n $(FUZZ_SECONDS) || exit 1; done

# The README's picture of the window, docs/screenshots/main.png, is the
# first of them.
screenshot: build
	@BUILD=$(BUILD) scripts/screenshot
	@cp $(BUILD)/screenshots/main.png docs/screenshots/main.png

# The pictures the window's test compares what it draws with
# (tests/ui/reference/*.png), drawn anew by this build. Only here are they
# written: look at each changed one (git status lists them) before committing.
reference-pictures: build
	@mkdir -p tests/ui/reference
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen:configfile=$(CURDIR)/tests/ui/screens.json TZ=UTC \
		HATTSHEET_WRITE_REFERENCE=1 bin/tst_main_window looksAsItDid
	@git status --short -- tests/ui/reference

bench: build
	@BUILD=$(BUILD) scripts/bench

clean:
	rm -rf $(BUILD)
