#!/bin/sh
# Cross-builds the Windows binaries with the preset "windows" into BUILD_DIR, a step of the Linux build:
# the DLL checks, the package test and the runs under Wine use what it builds. The first run configures
# the folder (with the Linux build's compiler launcher, ccache say); later runs only build what changed.
#   build_windows.sh SOURCE_DIR CMAKE BUILD_DIR [LAUNCHER]
set -eu
source_dir=$1 cmake=$2 build=$3 launcher=${4:-}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cd "$source_dir"
  if [ -n "$launcher" ]; then
    "$cmake" --preset windows -B "$build" -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" >/dev/null
  else
    "$cmake" --preset windows -B "$build" >/dev/null
  fi
fi
exec "$cmake" --build "$build"
