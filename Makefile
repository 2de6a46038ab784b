# Thin targets over the CMake presets.
PRESET ?= dev

.PHONY: all build test demo bench clean

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

clean:
	rm -rf build
