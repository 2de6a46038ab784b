# Thin targets over the CMake presets.
PRESET ?= dev

.PHONY: all deps build test demo pictures bench windows fuzz package format format-check check-databases tidy includes hooks clean

all: build

# Each target first installs the Debian packages it needs that are missing (cmake/packages.txt says which and
# why; cmake/packages.sh installs them as root, through sudo, or prints the apt-get line to run and stops).
PACKAGES = cmake/packages.sh
SUITE_USES = demo test bench windows browser

# Every package of the list, nothing built: what make test, the static checks, the fuzz targets and CI need.
deps:
	@$(PACKAGES) all

build:
	@$(PACKAGES) $(SUITE_USES)
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

# The showcase on the stand-in host: record, export, pick from the page's list, challenge. The game root
# (ghost files, settings page), the Kismet write trace, the scenario's picture, the comparison of its two
# runs and their replay page are left in build/$(PRESET)/demo.
DEMO_ROOT = build/$(PRESET)/demo
DEMO_GHOSTS = $(DEMO_ROOT)/tessaro/data/Ghosts
demo:
	@$(PACKAGES) demo
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target lumaro-host lumaro-ghost
	rm -rf $(DEMO_ROOT)
	./build/$(PRESET)/bin/lumaro-host --root $(DEMO_ROOT) --page --list-ghosts \
	    --trace $(DEMO_ROOT)/kismet-writes.csv --svg $(DEMO_ROOT)/scenario.svg scenarios/showcase.scenario
	@echo
	./build/$(PRESET)/bin/lumaro-ghost compare $(DEMO_GHOSTS)/My-PB.ghost $(DEMO_GHOSTS)/My-PB-2.ghost
	./build/$(PRESET)/bin/lumaro-ghost plot $(DEMO_GHOSTS)/My-PB.ghost $(DEMO_GHOSTS)/My-PB-2.ghost \
	    -o $(DEMO_ROOT)/comparison.svg
	./build/$(PRESET)/bin/lumaro-ghost html $(DEMO_GHOSTS)/My-PB.ghost $(DEMO_GHOSTS)/My-PB-2.ghost \
	    -o $(DEMO_ROOT)/replay.html
	@echo "The comparison of the two runs, drawn: $(DEMO_ROOT)/comparison.svg (open it in a browser)"
	@echo "The two runs racing, a page that plays offline: $(DEMO_ROOT)/replay.html (open it in a browser)"

# The pictures of docs/images (the demo's comparison and a wide line through a hairpin), drawn again and
# rendered with rsvg-convert, as the test suite draws and checks them; and the board's page as its browser test
# shows it.
pictures:
	@$(PACKAGES) demo test browser
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target lumaro-host lumaro-ghost
	tests/ghost/render_demo.sh build/$(PRESET)/bin/lumaro-host build/$(PRESET)/bin/lumaro-ghost scenarios \
	    tests/ghost/png_has_drawing.py docs/images docs/images
	tests/ghost/board_in_browser.py build/$(PRESET)/bin/lumaro-ghost tests/ghost/png_has_drawing.py \
	    docs/images/board.png

# BENCH_ARGS=--large adds 10M-frame ghosts and 10,000-file folders; other arguments go to Google Benchmark
# (BENCH_ARGS=--benchmark_filter=import, for one area).
bench: build
	./build/$(PRESET)/bin/lumaro-bench $(BENCH_ARGS)

# The 64-bit Windows DLLs (Lumaro.dll, pluginsdk.dll), the host programs and lumaro-ghost.exe, cross-built
# with mingw-w64 into build/dev/windows/bin: the one Windows build, which make test builds and checks too.
WINDOWS_BUILD = build/dev/windows
windows:
	@$(PACKAGES) $(SUITE_USES)
	cmake --preset dev
	cmake --build --preset dev --target windows_binaries

# The libFuzzer targets (preset fuzz, clang), each run for FUZZ_SECONDS; see fuzz/run.sh.
FUZZ_SECONDS ?= 60
fuzz:
	@$(PACKAGES) demo fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	fuzz/run.sh $(FUZZ_SECONDS)

# The players' package build/dev/windows/Lumaro-<version>-win64.zip (the stripped Lumaro.dll and
# lumaro-ghost.exe, the guide, README, LICENSE and CHANGELOG) and the map makers' kit beside it,
# Lumaro-<version>-win64-map-makers.zip (lumaro-host.exe, the DLLs, lumaro-ghost.exe, the bundled maps and
# scenarios, the map makers' page), from the Windows build make test made (built now only if it is missing or
# out of date).
package: windows
	cd $(WINDOWS_BUILD) && cpack

# The house style (.clang-format) applied to every C++ file of the tree, or only checked.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')
format:
	@$(PACKAGES) static
	@clang-format -i $(FORMAT_FILES)
	@echo "make format: $(words $(FORMAT_FILES)) files in the house style"

format-check:
	@$(PACKAGES) static
	@clang-format --dry-run --Werror $(FORMAT_FILES) && \
	    echo "make format-check: $(words $(FORMAT_FILES)) files, all in the house style" || \
	    { echo "make format-check: the files named above are not in the house style (make format mends them)"; exit 1; }

# The static checks over the compile databases: clang-tidy with the checks of .clang-tidy, and
# include-what-you-use (every file includes what it uses). Configuring the preset dev is enough, and the preset
# fuzz for fuzz/ where clang 14 is installed: nothing is compiled. CHECK_FILES="library/GhostImport.cpp ..."
# checks only those; INCLUDES_FIX=--fix adds the missing includes (make format then sorts them into place).
CHECK_JOBS ?= 2
CHECK_BUILDS = --build build/dev $(if $(shell command -v clang++-14),--build build/fuzz)
check-databases:
	@$(PACKAGES) static $(SUITE_USES)
	cmake --preset dev >/dev/null
	if command -v clang++-14 >/dev/null; then cmake --preset fuzz >/dev/null; fi

tidy: check-databases
	tools/checks/static_checks.py tidy $(CHECK_BUILDS) -j $(CHECK_JOBS) $(CHECK_FILES)

includes: check-databases
	tools/checks/static_checks.py includes $(CHECK_BUILDS) -j $(CHECK_JOBS) $(INCLUDES_FIX) $(CHECK_FILES)

# The pre-commit hook: the house style checked on the staged C++ files (tools/checks/pre-commit).
hooks:
	cp tools/checks/pre-commit "$$(git rev-parse --git-path hooks)/pre-commit"
	@echo "Installed $$(git rev-parse --git-path hooks)/pre-commit: the staged C++ files are checked before each commit."

clean:
	rm -rf build
