# Thin targets over the CMake presets.
PRESET ?= dev

.PHONY: all build test demo bench windows fuzz clean

all: build

build:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

# The showcase on the stand-in host: record, export, pick from the page's list, challenge. The game root
# (ghost files, settings page) and the Kismet write trace are left in build/$(PRESET)/demo.
DEMO_ROOT = build/$(PRESET)/demo
demo: build
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

# The libFuzzer targets (preset fuzz, clang), each run for FUZZ_SECONDS; see fuzz/run.sh.
FUZZ_SECONDS ?= 60
fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz
	fuzz/run.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
