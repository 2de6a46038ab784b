#!/bin/sh
# Reads the PE export and import tables of the Windows build (objdump -p) and fails on anything the host
# would not expect:
#   Lumaro.dll exports "exports", "getPlugin", "deleteMe" under plain names and the members of
#     Tessaro::Plugin::TessaroPlugin, nothing else;
#   pluginsdk.dll exports the host clock and the host's folder opener under their plain names;
#   Lumaro.dll imports ShellExecuteW, not ShellExecuteA, from SHELL32.dll (the ghost folder opener outside the
#     stand-in host);
#   Lumaro.dll imports FlushFileBuffers, MoveFileExW, CreateFileW, GetFileType and GetFileInformationByHandle
#     from KERNEL32.dll (the export's flush and rename, the ghost reader's checks on its handle);
#   Lumaro.dll imports pluginsdk.dll and system DLLs only, pluginsdk.dll and the host programs system DLLs
#     (and pluginsdk.dll) only, lumaro-ghost.exe system DLLs only: the compiler runtime is linked in, never
#     a DLL of its own.
# Exits 77 (skipped) when the mingw-w64 tools are missing, as the Windows build then is.
#   check_dll.sh MINGW_CXX OBJDUMP BIN_DIR
set -eu
cxx=$1 objdump=$2 bin=$3
. "$(dirname "$0")/pe_tables.sh"

for file in Lumaro.dll pluginsdk.dll lumaro-testhost.exe lumaro-host.exe lumaro-ghost.exe; do
  [ -f "$bin/$file" ] || { echo "FAIL  $bin/$file was not built"; exit 1; }
done

check_plugin_exports "$bin/Lumaro.dll"

for name in TessaroHostClockTicks TessaroHostOpenFolder; do
  exported "$bin/pluginsdk.dll" | grep -qxF $name || fail "pluginsdk.dll does not export $name under its plain name"
done

check_imports "$bin/Lumaro.dll" pluginsdk.dll KERNEL32.dll msvcrt.dll SHELL32.dll
for dll in pluginsdk.dll SHELL32.dll; do
  printf '%s\n' $(imported "$bin/Lumaro.dll") | grep -qixF $dll || fail "Lumaro.dll does not import $dll"
done
imported_from "$bin/Lumaro.dll" SHELL32.dll | grep -qxF ShellExecuteW ||
  fail "Lumaro.dll does not import ShellExecuteW from SHELL32.dll"
# The ANSI entry point reads the path in the ANSI code page and cannot name a folder outside it.
! imported_from "$bin/Lumaro.dll" SHELL32.dll | grep -qxF ShellExecuteA ||
  fail "Lumaro.dll imports ShellExecuteA; the folder opener uses the wide entry point only"
# An export flushes its file to the disk and renames it over the ghost with write-through; a ghost file is
# opened and judged by its own handle.
for function in FlushFileBuffers MoveFileExW CreateFileW GetFileType GetFileInformationByHandle; do
  imported_from "$bin/Lumaro.dll" KERNEL32.dll | grep -qxF $function ||
    fail "Lumaro.dll does not import $function from KERNEL32.dll"
done
check_imports "$bin/pluginsdk.dll" KERNEL32.dll msvcrt.dll
check_imports "$bin/lumaro-testhost.exe" pluginsdk.dll KERNEL32.dll msvcrt.dll
check_imports "$bin/lumaro-host.exe" pluginsdk.dll KERNEL32.dll msvcrt.dll
# The ghost tool goes to players on its own: the system's DLLs only.
check_imports "$bin/lumaro-ghost.exe" KERNEL32.dll msvcrt.dll

[ $failures -eq 0 ] || exit 1
echo "export and import tables OK"
