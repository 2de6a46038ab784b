# Thin targets over the CMake presets.
PRESET ?= dev

.PHONY: all build test demo bench windows clean

all: build

build:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

demo: build
	./build/$(PRESET)/bin/lumaro-demo

bench: build
	./build/$(PRESET)/bin/lumaro-bench

# The 64-bit Windows DLLs (Lumaro.dll, pluginsdk.dll) and host programs, cross-built with mingw-w64
# into build/windows/bin.
windows:
	cmake --preset windows
	cmake --build --preset windows

clean:
	rm -rf build
