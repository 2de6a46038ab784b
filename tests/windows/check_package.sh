#!/bin/sh
# Makes the players' package from the Windows build with CPack, as make package does, unpacks it and checks
# what a player gets: exactly Lumaro.dll, lumaro-ghost.exe, Lumaro-Guide.html, README.txt, LICENSE.txt and
# CHANGELOG.txt in the folder Lumaro-VERSION-win64; the binaries without debug sections (the build's own
# copies keep them) and needing the system's DLLs only; the DLL with its version resource naming the product
# and VERSION, exporting what the host looks up; the guide a page of its own made from docs/players.md; the
# CHANGELOG without the developers' note; README.txt and the guide showing every command of the ghost tool.
# Then lumaro-ghost.exe, as unpacked, runs info, --version, compare and plot under Wine on two bundled ghosts, info on a
# ghost whose name is not in any ANSI code page, and check on a wildcard it expands itself. The map makers' kit
# holds lumaro-host.exe, the DLLs, lumaro-ghost.exe, the bundled maps and scenarios and the map makers' page; its
# lumaro-host.exe runs a scenario under Wine and checks a good and a broken map, then every map by a wildcard.
# Exits 77 (skipped) when the mingw-w64 tools are missing, as the Windows build then is, or when Wine is.
#   check_package.sh MINGW_CXX OBJDUMP CPACK WINDOWS_BUILD_DIR WORK_DIR VERSION WINE GHOST_A GHOST_B
set -eu
cxx=$1 objdump=$2 cpack=$3 build=$4 work=$5 version=$6 wine=$7 ghost_a=$8 ghost_b=$9
. "$(dirname "$0")/pe_tables.sh"

rm -rf "$work"
mkdir -p "$work/unpacked"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work"
package=Lumaro-$version-win64
[ -f "$work/$package.zip" ] || { echo "FAIL  CPack did not write $package.zip"; ls "$work"; exit 1; }
(cd "$work/unpacked" && "$(dirname "$cpack")/cmake" -E tar xf "../$package.zip")

files=$(cd "$work/unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
echo "$package.zip holds:"; printf '  %s\n' $files
expected=$(printf '%s\n' CHANGELOG.txt LICENSE.txt Lumaro-Guide.html Lumaro.dll README.txt lumaro-ghost.exe |
  sed "s|^|$package/|")
[ "$files" = "$expected" ] || fail "the package should hold exactly: $(echo $expected)"

unpacked=$work/unpacked/$package
plugin_dll=$unpacked/Lumaro.dll
ghost_tool=$unpacked/lumaro-ghost.exe
[ -f "$plugin_dll" ] && [ -f "$ghost_tool" ] || { echo "FAIL  no Lumaro.dll or lumaro-ghost.exe in the package"; exit 1; }
for binary in "$plugin_dll" "$ghost_tool"; do
  debug=$("$objdump" -h "$binary" | awk '$2 ~ /^\.debug_/ { print $2 }')
  [ -z "$debug" ] || fail "the packaged $(basename "$binary") is not stripped: $(echo $debug)"
done
"$objdump" -h "$build/bin/Lumaro.dll" | grep -q ' \.debug_info ' ||
  fail "the build's own Lumaro.dll lost its debug information"
check_imports "$ghost_tool" KERNEL32.dll msvcrt.dll

# The version resource: a type 16 (RT_VERSION) entry, and its texts in UTF-16 (seen here with the zero
# bytes taken out, so each key runs straight into its value).
"$objdump" -p "$plugin_dll" | grep -q 'Entry: ID: 0x000010,' || fail "the packaged Lumaro.dll has no version resource"
texts=$(LC_ALL=C tr -d '\000' <"$plugin_dll" | LC_ALL=C grep -aoE 'ProductName[A-Za-z]+|ProductVersion[0-9.]+|FileDescriptionLumaro: [a-z ]+' || true)
echo "version resource:"; printf '%s\n' "$texts" | sed 's/^/  /'
printf '%s\n' "$texts" | grep -qx "ProductNameLumaro" || fail "the version resource does not name the product Lumaro"
printf '%s\n' "$texts" | grep -qxF "ProductVersion$version" || fail "the version resource does not carry version $version"
printf '%s\n' "$texts" | grep -q "^FileDescriptionLumaro: " || fail "the version resource has no description"

check_plugin_exports "$plugin_dll"

# The guide: one page, its own style, the players' guide's sections and tables, nothing fetched.
guide=$unpacked/Lumaro-Guide.html
for piece in '<meta charset="utf-8">' "<title>Lumaro $version: the players' guide</title>" '<style>' \
  '>Lumaro for players</h1>' '>The settings page</h2>' '<td>Refresh Ghost list</td>' \
  '<h2 id="checking-and-comparing-ghosts">'; do
  grep -qF "$piece" "$guide" || fail "the guide lacks $piece"
done
! grep -qiE '(src|href)="(https?:)?//' "$guide" || fail "the guide fetches something: $(grep -oiE '(src|href)="[^"]*"' "$guide" | head -3)"
! grep -qE '\.md"' "$guide" || fail "the guide links to a Markdown file the package does not hold"
for target in $(grep -oE 'href="#[^"]*"' "$guide" | sed 's/^href="#//; s/"$//'); do
  grep -qF "id=\"$target\"" "$guide" || fail "the guide's link to #$target leads nowhere"
done
# The players' CHANGELOG: the entries, no note for developers, no Markdown code marks.
changelog=$unpacked/CHANGELOG.txt
tr -d '\r' <"$changelog" | grep -qx "$version" || fail "CHANGELOG.txt has no entry for $version"
! grep -qE 'the build checks it|^## |`' "$changelog" || fail "CHANGELOG.txt carries developers' text or Markdown: $(grep -nE 'the build checks it|^## |`' "$changelog" | head -3)"
grep -qF 'Lumaro-Guide.html' "$unpacked/README.txt" || fail "README.txt does not name the guide"
# Each heading of the CHANGELOG underlined to its own length.
awk 'NR > 1 && /^[-=]+\r?$/ { sub(/\r$/, ""); if (length($0) != length(previous)) bad = bad " " NR }
     { previous = $0; sub(/\r$/, "", previous) } END { if (bad) { print bad; exit 1 } }' "$changelog" >"$work/underlines.out" ||
  fail "CHANGELOG.txt has underlines not as long as their heading, lines$(cat "$work/underlines.out")"
grep -qF "Lumaro-$version-win64.zip" "$guide" || fail "the guide does not name the package Lumaro-$version-win64.zip"
# Every line of the .txt files ends in CR LF, as Windows' editors read them.
cr=$(printf '\r')
for text in README.txt LICENSE.txt CHANGELOG.txt; do
  ! grep -qv "$cr\$" "$unpacked/$text" || fail "$text has lines that do not end in CR LF"
done

# The map makers' kit: lumaro-host.exe with the plugin and the stand-in host's SDK library, the ghost tool, the
# bundled maps and scenarios, and the map makers' page.
kit=Lumaro-$version-win64-map-makers
mkdir -p "$work/kit"
if [ -f "$work/$kit.zip" ]; then
  (cd "$work/kit" && "$(dirname "$cpack")/cmake" -E tar xf "../$kit.zip")
  kit_files=$(cd "$work/kit/$kit" 2>/dev/null && find . -maxdepth 1 -type f | sed 's|^\./||' | LC_ALL=C sort)
  [ "$(echo $kit_files)" = "LICENSE.txt Lumaro.dll lumaro-ghost.exe lumaro-host.exe map-makers.html pluginsdk.dll" ] ||
    fail "the map makers' kit should hold LICENSE.txt Lumaro.dll lumaro-ghost.exe lumaro-host.exe map-makers.html pluginsdk.dll, not: $(echo $kit_files)"
  [ -f "$work/kit/$kit/maps/speedway.map" ] && [ -f "$work/kit/$kit/maps/README.md" ] &&
    [ -f "$work/kit/$kit/scenarios/record.scenario" ] && [ -f "$work/kit/$kit/scenarios/ghosts/Ann-Speedway-3.ghost" ] ||
    fail "the map makers' kit lacks the bundled maps, their format, the scenarios or their ghosts"
  # Its lumaro-host.exe has no regular expressions: no scenario it would refuse, and none of the repository's files.
  refused=$(grep -l '^expect .* matching ' "$work/kit/$kit"/scenarios/*.scenario 2>/dev/null || true)
  [ -z "$refused" ] || fail "the map makers' kit ships scenarios its lumaro-host.exe refuses: $refused"
  [ -z "$(find "$work/kit/$kit" -name '.git*')" ] || fail "the map makers' kit ships the repository's .git files"
  for text in LICENSE.txt maps/README.md; do
    ! grep -qv "$cr\$" "$work/kit/$kit/$text" || fail "the kit's $text has lines that do not end in CR LF"
  done
  grep -qF "Lumaro-$version-win64-map-makers.zip" "$work/kit/$kit/map-makers.html" ||
    fail "the map makers' page does not name the kit by its version"
  grep -qF "<title>Lumaro $version: making a map for Lumaro</title>" "$work/kit/$kit/map-makers.html" ||
    fail "the map makers' page is not the page made from docs/map-makers.md"
else
  fail "CPack did not write $kit.zip"
fi

if [ ! -x "$wine" ]; then
  echo "skipped: lumaro-ghost.exe under Wine (Wine is not installed)"
  [ $failures -eq 0 ] || exit 1
  exit 77
fi
# lumaro-ghost.exe as a player runs it, from the unpacked folder, on two ghosts beside it.
windows_build=$build
. "$(dirname "$0")/wine_prefix.sh"
cp "$ghost_a" "$work/A.ghost"
cp "$ghost_b" "$work/B.ghost"
cd "$work"
ghost() {
  label=$1; shift
  if ! "$wine" "$ghost_tool" "$@" >"$label.out" 2>&1; then
    fail "lumaro-ghost.exe $* fails under Wine: $(head -5 "$label.out")"
  fi
}
ghost info info A.ghost
ghost version --version
[ "$(tr -d '\r' <version.out)" = "lumaro-ghost $version" ] || fail "lumaro-ghost.exe --version says: $(head -3 version.out)"
ghost compare compare A.ghost B.ghost
ghost plot plot A.ghost B.ghost -o picture.svg
# Windows passes the name in UTF-16 (Wine makes it from the locale's UTF-8).
cp "$ghost_b" "$work/Zoë-猫.ghost"
LC_ALL=C.UTF-8 ghost unicode info "Zoë-猫.ghost"
grep -qF 'by Zo(Zoë-猫.ghost)' unicode.out || fail "info on Zoë-猫.ghost: $(head -3 unicode.out)"
# Wildcards in file arguments are expanded by the tool, as Windows' shell leaves them: the tool's own example.
mkdir -p Ghosts && cp A.ghost B.ghost Ghosts/
ghost wildcard check 'Ghosts/*.ghost'
grep -qF 'A.ghost' wildcard.out && grep -qF 'B.ghost' wildcard.out || fail "check Ghosts/*.ghost: $(head -3 wildcard.out)"
# board on a folder of ghosts under non-ASCII names, and check --driving on one of them.
mkdir -p "Fréunde" && cp A.ghost "Fréunde/Zoë-猫.ghost" && cp B.ghost "Fréunde/B.ghost"
LC_ALL=C.UTF-8 ghost board board "Fréunde"
grep -qF 'Zoë-猫.ghost' board.out && grep -qF 'ranked by race time' board.out || fail "board Fréunde: $(head -5 board.out)"
LC_ALL=C.UTF-8 ghost driving check --driving "Fréunde/Zoë-猫.ghost"
grep -qF 'nothing a car cannot do' driving.out || fail "check --driving: $(head -3 driving.out)"
grep -q "Speedway" info.out || fail "info does not show the ghost's map: $(head -5 info.out)"
[ -s compare.out ] || fail "compare says nothing"
grep -q "<svg" picture.svg 2>/dev/null || fail "plot wrote no SVG picture"
echo "lumaro-ghost.exe under Wine:"; head -3 info.out | sed 's/^/  /'
# A Windows device's name is refused before any open (NUL, which acts on nothing, stands for the serial ports),
# with any case and extension; and -o judges the file a name writes: "B.ghost." and "B.ghost " are B.ghost.
for device in NUL nul.ghost "Nul .ghost"; do
  if "$wine" "$ghost_tool" info "$device" >device.out 2>&1 || ! grep -qF "the name is a Windows device's" device.out; then
    fail "info $device is not refused as a device's name under Wine: $(head -3 device.out)"
  fi
done
cp B.ghost B.kept
for output in "B.ghost." "B.ghost "; do
  "$wine" "$ghost_tool" plot A.ghost -o "$output" >output.out 2>&1 && fail "plot -o \"$output\" was not refused"
  cmp -s B.ghost B.kept || fail "plot -o \"$output\" wrote over B.ghost under Wine"
done
# ... and the file it opens, not its spelling: the short name Wine gives Friend.ghost leads to a ghost, and a
# ghost under another name is one too; a picture already there is replaced.
cp B.ghost Friend.ghost && cp B.ghost Friend.txt
"$wine" "$ghost_tool" info FRIE~E35.GHO >short.out 2>&1 && grep -qF 'Speedway' short.out ||
  fail "FRIE~E35.GHO is not the short name of Friend.ghost under Wine: $(head -3 short.out)"
# A file named as a ghost that holds none is judged by its long name, whatever short name leads to it.
printf 'kept\n' >Notes.ghost
notes=$("$wine" cmd /c dir /x 2>/dev/null | tr -d '\r' | awk '$NF == "Notes.ghost" { print $(NF - 1) }')
[ -n "$notes" ] || fail "Wine gives Notes.ghost no short name"
for output in FRIE~E35.GHO Friend.txt "$notes"; do
  "$wine" "$ghost_tool" plot A.ghost -o "$output" >output.out 2>&1 && fail "plot -o $output was not refused"
done
cmp -s Friend.ghost B.kept && cmp -s Friend.txt B.kept && [ "$(cat Notes.ghost)" = kept ] ||
  fail "plot -o wrote over a ghost under Wine"
ghost replaced plot A.ghost -o picture.svg
# Paths in the device namespace are refused before any open, whatever their last component.
for device in '\\.\GLOBALROOT\Device\Null' '\\?\GLOBALROOT\Device\Null' '//./NUL'; do
  for command in info plot; do
    if [ $command = info ]; then set -- info "$device"; else set -- plot A.ghost -o "$device"; fi
    if "$wine" "$ghost_tool" "$@" >device.out 2>&1 || ! grep -qF "device namespace" device.out; then
      fail "$* is not refused as a device-namespace path under Wine: $(head -3 device.out)"
    fi
  done
done
# Every command the tool's own help lists is shown to players, as they would type it.
"$wine" "$ghost_tool" --help >help.out 2>&1 || true
commands=$(sed -n 's/^  lumaro-ghost \([a-z]*\) .*/\1/p' help.out)
[ -n "$commands" ] || fail "lumaro-ghost.exe --help lists no command: $(head -5 help.out)"
for command in $commands; do
  for document in README.txt Lumaro-Guide.html; do
    grep -qF "lumaro-ghost.exe $command " "$unpacked/$document" || fail "$document does not show lumaro-ghost.exe $command"
  done
done

# The kit's lumaro-host.exe as a map maker runs it from the unpacked folder: a bundled scenario, then the check
# of a good map and of a broken one, each ending with its verdict, and of every map by a wildcard.
if [ -d "$work/kit/$kit" ]; then
  cd "$work/kit/$kit"
  "$wine" ./lumaro-host.exe scenarios/record.scenario >record.out 2>&1 ||
    fail "the kit's lumaro-host.exe fails scenarios/record.scenario under Wine: $(tail -5 record.out)"
  verdict() {  # MAP EXPECTED_STATUS PATTERN: the last line of --check-map MAP
    status=0
    "$wine" ./lumaro-host.exe --check-map "$1" >check.out 2>/dev/null || status=$?
    last=$(tr -d '\r' <check.out | tail -1)
    [ $status -eq "$2" ] && printf '%s\n' "$last" | grep -qE "$3" ||
      fail "--check-map $1 under Wine: exit $status, last line \"$last\""
  }
  verdict maps/speedway.map 0 '^maps/speedway\.map: the contract is complete; Lumaro works on this map$'
  verdict maps/quarry.map 1 '^maps/quarry\.map: [0-9]+ problems?; Lumaro will not work on this map$'
  # Every bundled map by a wildcard, which Windows' shell leaves as typed: lumaro-host.exe expands it itself, gives
  # each file its verdict, ends with their count, and exits with the worst file's status (Old Quarry's, Sandbox's).
  verdict 'maps\*.map' 1 '^6 map files: 4 complete, 2 will not work$'
  grep -qE '^maps.speedway\.map: the contract is complete; Lumaro works on this map' check.out ||
    fail "--check-map maps\\*.map under Wine gives speedway.map no verdict of its own: $(head -3 check.out)"
  echo "the map makers' kit under Wine: $last"
fi

[ $failures -eq 0 ] || exit 1
echo "package OK: $(wc -c <"$work/$package.zip") bytes, Lumaro.dll $(wc -c <"$plugin_dll") bytes, lumaro-ghost.exe $(wc -c <"$ghost_tool") bytes"
