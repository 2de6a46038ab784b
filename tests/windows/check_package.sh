#!/bin/sh
# Makes the players' package from the Windows build with CPack, as make package does, unpacks it and checks
# what a player gets: exactly the stripped Lumaro.dll, README.txt, LICENSE.txt and CHANGELOG.txt in the
# folder Lumaro-VERSION-win64; the DLL without debug sections (the build's own copy keeps them), with its
# version resource naming the product and VERSION, and exporting what the host looks up.
# Exits 77 (skipped) when the mingw-w64 tools are missing, as the Windows build then is.
#   check_package.sh MINGW_CXX OBJDUMP CPACK WINDOWS_BUILD_DIR WORK_DIR VERSION
set -eu
cxx=$1 objdump=$2 cpack=$3 build=$4 work=$5 version=$6
. "$(dirname "$0")/pe_tables.sh"

rm -rf "$work"
mkdir -p "$work/unpacked"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work"
package=Lumaro-$version-win64
[ -f "$work/$package.zip" ] || { echo "FAIL  CPack did not write $package.zip"; ls "$work"; exit 1; }
(cd "$work/unpacked" && "$(dirname "$cpack")/cmake" -E tar xf "../$package.zip")

files=$(cd "$work/unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
echo "$package.zip holds:"; printf '  %s\n' $files
expected=$(printf '%s\n' CHANGELOG.txt LICENSE.txt Lumaro.dll README.txt | sed "s|^|$package/|")
[ "$files" = "$expected" ] || fail "the package should hold exactly: $(echo $expected)"

dll=$work/unpacked/$package/Lumaro.dll
[ -f "$dll" ] || { echo "FAIL  no Lumaro.dll in the package"; exit 1; }
debug=$("$objdump" -h "$dll" | awk '$2 ~ /^\.debug_/ { print $2 }')
[ -z "$debug" ] || fail "the packaged Lumaro.dll is not stripped: $(echo $debug)"
"$objdump" -h "$build/bin/Lumaro.dll" | grep -q ' \.debug_info ' ||
  fail "the build's own Lumaro.dll lost its debug information"

# The version resource: a type 16 (RT_VERSION) entry, and its texts in UTF-16 (seen here with the zero
# bytes taken out, so each key runs straight into its value).
"$objdump" -p "$dll" | grep -q 'Entry: ID: 0x000010,' || fail "the packaged Lumaro.dll has no version resource"
texts=$(LC_ALL=C tr -d '\000' <"$dll" | LC_ALL=C grep -aoE 'ProductName[A-Za-z]+|ProductVersion[0-9.]+|FileDescriptionLumaro: [a-z ]+' || true)
echo "version resource:"; printf '%s\n' "$texts" | sed 's/^/  /'
printf '%s\n' "$texts" | grep -qx "ProductNameLumaro" || fail "the version resource does not name the product Lumaro"
printf '%s\n' "$texts" | grep -qxF "ProductVersion$version" || fail "the version resource does not carry version $version"
printf '%s\n' "$texts" | grep -q "^FileDescriptionLumaro: " || fail "the version resource has no description"

check_plugin_exports "$dll"

[ $failures -eq 0 ] || exit 1
echo "package OK: $(wc -c <"$work/$package.zip") bytes, Lumaro.dll $(wc -c <"$dll") bytes"
