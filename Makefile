# Thin targets over the CMake presets.
PRESET ?= dev

.PHONY: all build test demo bench windows package format format-check clean

all: build

build:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

# The showcase on the stand-in host: record, export, pick from the page's list, challenge. The game root
# (ghost files, settings page) and the Kismet write trace are left in build/$(PRESET)/demo.
DEMO_ROOT = build/$(PRESET)/demo
demo:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target lumaro-host
	rm -rf $(DEMO_ROOT)
	./build/$(PRESET)/bin/lumaro-host --root $(DEMO_ROOT) --page --list-ghosts \
	    --trace $(DEMO_ROOT)/kismet-writes.csv scenarios/showcase.scenario

bench: build
	./build/$(PRESET)/bin/lumaro-bench

# The 64-bit Windows DLLs (Lumaro.dll, pluginsdk.dll) and host programs, cross-built with mingw-w64
# into build/windows/bin.
windows:
	cmake --preset windows
	cmake --build --preset windows

# The players' package build/windows/Lumaro-<version>-win64.zip: the stripped Lumaro.dll, README, LICENSE
# and CHANGELOG.
package: windows
	cd build/windows && cpack

# The house style (.clang-format) applied to every C++ file of the tree, or only checked.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')
format:
	clang-format -i $(FORMAT_FILES)

format-check:
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf build
