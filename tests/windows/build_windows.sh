#!/bin/sh
# Cross-builds the Windows binaries (preset "windows", build/windows) for the checks that follow: the
# DLL export check and the run under Wine. Exits 77 (skipped) when the mingw-w64 compiler is missing.
#   build_windows.sh SOURCE_DIR CMAKE MINGW_CXX
set -eu
source_dir=$1 cmake=$2 cxx=$3
if [ ! -x "$cxx" ]; then
  echo "skipped: the mingw-w64 cross compiler x86_64-w64-mingw32-g++-posix is not installed"
  echo "(apt-get install g++-mingw-w64-x86-64-posix, then configure again)"
  exit 77
fi
cd "$source_dir"
"$cmake" --preset windows >/dev/null
"$cmake" --build --preset windows
