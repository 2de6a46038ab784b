#!/bin/sh
# Runs the Windows host programs under Wine against the cross-built Lumaro.dll.
# Without options, the test host loads the plugin with LoadLibrary and checks it as the host sees it.
# With --scenario the test host also plays a recorded run, and the Linux build of the same test host plays
# it against the Linux library; the two exported ghost files must be the same bytes.
# With --host, the Windows lumaro-host.exe runs the given scenario file with Lumaro.dll and must pass it; runs a
# scenario, its map file, a root and a trace named in letters outside every ANSI code page, and checks that map;
# then runs the given scenario again in a game root whose ghost and settings folders are links, with links
# planted under the export's scratch names and at the page's name (planted_export.sh).
# The Wine prefix lives in the Windows build folder and is made once (it takes a while the first time).
# Console programs only: no display is used. Exits 77 (skipped) when the cross compiler or Wine is missing.
#   run_wine.sh MINGW_CXX WINE WINDOWS_BUILD_DIR WORK_DIR [--scenario LINUX_TESTHOST LINUX_PLUGIN]
#   run_wine.sh MINGW_CXX WINE WINDOWS_BUILD_DIR WORK_DIR --host SCENARIO
set -eu
cxx=$1 wine=$2 windows_build=$3 work=$4
shift 4
if [ ! -x "$cxx" ]; then
  echo "skipped: the mingw-w64 cross compiler x86_64-w64-mingw32-g++-posix is not installed"
  exit 77
fi
if [ ! -x "$wine" ]; then
  echo "skipped: Wine is not installed (apt-get install wine64, then configure again)"
  exit 77
fi
bin=$windows_build/bin

. "$(dirname "$0")/wine_prefix.sh"

rm -rf "$work"
mkdir -p "$work"
cd "$work"
status=0
if [ "${1:-}" = "--scenario" ]; then
  linux_host=$2 linux_plugin=$3
  "$wine" "$bin/lumaro-testhost.exe" "$bin/Lumaro.dll" wine-root --scenario wine.ghost || status=$?
  echo "--- the same run on Linux"
  "$linux_host" "$linux_plugin" linux-root --scenario linux.ghost || status=$?
  if [ -f wine.ghost ] && [ -f linux.ghost ] && cmp wine.ghost linux.ghost; then
    echo "ok    the Windows and Linux builds write the same ghost file bytes"
  else
    echo "FAIL  the ghost files differ (or one is missing):"
    diff wine.ghost linux.ghost | head -20 || true
    diff wine.ghost.console linux.ghost.console | head -20 || true
    status=1
  fi
elif [ "${1:-}" = "--host" ]; then
  "$wine" "$bin/lumaro-host.exe" --plugin "$bin/Lumaro.dll" --root host-root "$2" || status=$?
  echo "--- a scenario, its map file, the root and the trace named in letters no ANSI code page holds"
  cp "$(dirname "$2")/../maps/speedway.map" "Zoë-猫.map"
  printf '%s\n' 'map Zoë-猫' 'console lm_record' \
    'expect console "Recording starts and ends when you cross the finish line."' >"猫.scenario"
  LC_ALL=C.UTF-8 "$wine" "$bin/lumaro-host.exe" --plugin "$bin/Lumaro.dll" --root Zoë-root 猫.scenario \
    --trace Zoë.csv >unicode.out 2>&1
  LC_ALL=C.UTF-8 "$wine" "$bin/lumaro-host.exe" --check-map "Zoë-猫.map" >>unicode.out 2>&1
  if grep -qF 'Scenario 猫.scenario passed' unicode.out && [ -d Zoë-root ] && [ -s Zoë.csv ] &&
    grep -qF 'Zoë-猫.map: the contract is complete; Lumaro works on this map' unicode.out; then
    echo "ok    lumaro-host.exe runs 猫.scenario on Zoë-猫.map into Zoë-root, tracing to Zoë.csv, and checks the map"
  else
    echo "FAIL  lumaro-host.exe under Wine, with 猫.scenario and Zoë-猫.map:"; tail -8 unicode.out; status=1
  fi
  echo "--- the same scenario through folders that are links, beside links planted under scratch names, traced"
  "$(dirname "$0")/planted_export.sh" wine "$wine" "$bin/lumaro-host.exe" "$bin/Lumaro.dll" "$2" \
    "$work/planted" || status=$?
else
  "$wine" "$bin/lumaro-testhost.exe" "$bin/Lumaro.dll" wine-root || status=$?
fi
exit $status
