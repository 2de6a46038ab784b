#!/bin/sh
# Reads the PE export and import tables of the Windows build (objdump -p) and fails on anything the host
# would not expect:
#   Lumaro.dll exports "exports", "getPlugin", "deleteMe" under plain names and the members of
#     Tessaro::Plugin::TessaroPlugin, nothing else;
#   pluginsdk.dll exports the host clock and the host's folder opener under their plain names;
#   Lumaro.dll imports ShellExecuteW, not ShellExecuteA, from SHELL32.dll (the ghost folder opener outside the
#     stand-in host);
#   Lumaro.dll imports pluginsdk.dll and system DLLs only, pluginsdk.dll and the host programs system DLLs
#     (and pluginsdk.dll) only: the compiler runtime is linked in, never a DLL of its own.
# Exits 77 (skipped) when the mingw-w64 tools are missing, as the Windows build then is.
#   check_dll.sh MINGW_CXX OBJDUMP BIN_DIR
set -eu
cxx=$1 objdump=$2 bin=$3
if [ ! -x "$cxx" ] || [ ! -x "$objdump" ]; then
  echo "skipped: the mingw-w64 cross compiler or x86_64-w64-mingw32-objdump is not installed"
  exit 77
fi
cxxfilt=${objdump%objdump}c++filt
[ -x "$cxxfilt" ] || cxxfilt=c++filt
failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }

# The names in a DLL's export table, demangled, one a line.
exported() {
  "$objdump" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | "$cxxfilt"
}

# The DLLs a binary imports, one a line, as the import table spells them.
imported() {
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# The functions a binary imports from one DLL (named case-insensitively), one a line.
imported_from() {
  "$objdump" -p "$1" | awk -v dll="$(echo "$2" | tr A-Z a-z)" '
    /^[[:space:]]*DLL Name: / { name = tolower($3); next }
    /^[[:space:]]*vma:/ { next }
    /^[[:space:]]*$/ { name = ""; next }
    name == dll && NF >= 3 { print $3 }'
}

# check_imports FILE ALLOWED...: every imported DLL is among the allowed ones (case-insensitive).
check_imports() {
  file=$1; shift
  dlls=$(imported "$bin/$file")
  echo "$file imports:"; printf '  %s\n' $dlls
  for dll in $dlls; do
    allowed=no
    for name in "$@"; do
      [ "$(echo "$dll" | tr A-Z a-z)" = "$(echo "$name" | tr A-Z a-z)" ] && allowed=yes
    done
    [ $allowed = yes ] || fail "$file imports $dll; only $* are expected (is a runtime DLL no longer linked in?)"
  done
}

for file in Lumaro.dll pluginsdk.dll lumaro-testhost.exe lumaro-host.exe; do
  [ -f "$bin/$file" ] || { echo "FAIL  $bin/$file was not built"; exit 1; }
done

names=$(exported "$bin/Lumaro.dll")
echo "Lumaro.dll exports:"; printf '%s\n' "$names" | sed 's/^/  /'
for name in exports getPlugin deleteMe \
            "Tessaro::Plugin::TessaroPlugin::onLoad()" "Tessaro::Plugin::TessaroPlugin::onUnload()" \
            "Tessaro::Plugin::TessaroPlugin::TessaroPlugin()" "Tessaro::Plugin::TessaroPlugin::~TessaroPlugin()" \
            "vtable for Tessaro::Plugin::TessaroPlugin"; do
  printf '%s\n' "$names" | grep -qxF "$name" || fail "Lumaro.dll does not export $name"
done
unexpected=$(printf '%s\n' "$names" |
  grep -vxE 'exports|getPlugin|deleteMe|(vtable|typeinfo|typeinfo name) for Tessaro::Plugin::TessaroPlugin|Tessaro::Plugin::TessaroPlugin::.*' || true)
[ -z "$unexpected" ] || fail "Lumaro.dll exports more than the host needs: $unexpected"

for name in TessaroHostClockTicks TessaroHostOpenFolder; do
  exported "$bin/pluginsdk.dll" | grep -qxF $name || fail "pluginsdk.dll does not export $name under its plain name"
done

check_imports Lumaro.dll pluginsdk.dll KERNEL32.dll msvcrt.dll SHELL32.dll
for dll in pluginsdk.dll SHELL32.dll; do
  printf '%s\n' $(imported "$bin/Lumaro.dll") | grep -qixF $dll || fail "Lumaro.dll does not import $dll"
done
imported_from "$bin/Lumaro.dll" SHELL32.dll | grep -qxF ShellExecuteW ||
  fail "Lumaro.dll does not import ShellExecuteW from SHELL32.dll"
# The ANSI entry point reads the path in the ANSI code page and cannot name a folder outside it.
! imported_from "$bin/Lumaro.dll" SHELL32.dll | grep -qxF ShellExecuteA ||
  fail "Lumaro.dll imports ShellExecuteA; the folder opener uses the wide entry point only"
check_imports pluginsdk.dll KERNEL32.dll msvcrt.dll
check_imports lumaro-testhost.exe pluginsdk.dll KERNEL32.dll msvcrt.dll
check_imports lumaro-host.exe pluginsdk.dll KERNEL32.dll msvcrt.dll

[ $failures -eq 0 ] || exit 1
echo "export and import tables OK"
