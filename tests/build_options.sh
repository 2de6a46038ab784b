#!/bin/sh
# The build's options as a newcomer meets them, each configured afresh in a scratch folder (nothing compiled):
#   windows-off   -DLUMARO_WINDOWS_BUILD=OFF leaves out the Windows build and its tests with it
#   no-gtest      without GoogleTest and Google Benchmark, as make demo finds a fresh machine, the build still
#                 configures, with the demo's programs and without the suites
#   build_options.sh CMAKE CTEST SOURCE_DIR WORK_DIR CASE
set -u
cmake=$1 ctest=$2 source=$3 work=$4 case=$5
failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }
rm -rf "$work"
mkdir -p "$work"
configure() {
  if ! "$cmake" -S "$source" -B "$work" -G Ninja "$@" >"$work.log" 2>&1; then
    echo "FAIL  cmake $* does not configure:"; tail -20 "$work.log"; exit 1
  fi
  targets=$("$cmake" --build "$work" --target help 2>/dev/null)
  tests=$(cd "$work" && "$ctest" -N 2>/dev/null)
}
has_target() { printf '%s\n' "$targets" | grep -q "^$1:"; }

case $case in
windows-off)
  configure -DLUMARO_WINDOWS_BUILD=OFF
  ! has_target windows_binaries || fail "the Windows build is still a target"
  ! printf '%s\n' "$tests" | grep -q ' windows_' || fail "Windows tests without the Windows build: $(printf '%s\n' "$tests" | grep ' windows_' | head -3)"
  printf '%s\n' "$tests" | grep -q ' plugin_load_native' || fail "the Linux tests went with the Windows build"
  ;;
no-gtest)
  configure -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
  for target in lumaro-host lumaro-ghost Lumaro; do has_target "$target" || fail "no target $target"; done
  ! has_target host_tests || fail "the suites are built without GoogleTest"
  grep -q "GoogleTest is not installed: the test suites are left out" "$work.log" || fail "the configure step does not say the suites are left out"
  ;;
*) echo "unknown case $case"; exit 2 ;;
esac
[ $failures -eq 0 ] || exit 1
echo "$case: configured as expected"
