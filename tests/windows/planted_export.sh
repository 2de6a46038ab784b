#!/bin/sh
# A bundled scenario that exports, lists, picks and races a ghost, played by lumaro-host in a game root whose
# ghost folder and settings folder are links to folders made here (a ghost folder kept in a synced folder):
# the scenario must pass through them, with no word of a folder, and the links must stay links. The ghost
# folder holds links planted under the export's scratch names ("@0.part", and "My-PB.ghost.part" as older
# exports named it), both leading to a file outside it made here: the links and the file they lead to must be
# left as they were. A link is planted at the settings page's file too (a symbolic link on Linux, a hard link
# under Wine), leading to a 100,000-byte file outside: every page replaces the link, and that file keeps its bytes.
# The run is traced, and the export's scratch file must be flushed to the disk before it is renamed
# over the ghost: on Linux strace shows fsync on the file's descriptor before rename; under Wine the relay trace
# shows FlushFileBuffers on the file's handle before MoveFileExW with MOVEFILE_REPLACE_EXISTING|WRITE_THROUGH (9).
#   planted_export.sh native LUMARO_HOST PLUGIN SCENARIO WORK_DIR
#   planted_export.sh wine WINE LUMARO_HOST_EXE PLUGIN_DLL SCENARIO WORK_DIR   (in run_wine.sh's Wine prefix)
# Exits 77 (skipped) on Linux when strace is missing or may not trace.
set -eu
mode=$1
shift
if [ "$mode" = wine ]; then
  wine=$1
  shift
fi
host=$1 plugin=$2 scenario=$3 work=$4

rm -rf "$work"
# The folders the links lead to stay in the game root, where the scenario's expectations may look.
mkdir -p "$work/root/tessaro/data" "$work/root/tessaro/plugins" "$work/root/synced/Ghosts" \
  "$work/root/synced/settings" "$work/root/outside"
cd "$work"
ln -s "$(pwd)/root/synced/Ghosts" root/tessaro/data/Ghosts
ln -s "$(pwd)/root/synced/settings" root/tessaro/plugins/settings
precious="$(pwd)/root/outside/precious.txt"
printf 'mine\n' > "$precious"
ln -s "$precious" root/tessaro/data/Ghosts/@0.part
ln -s "$precious" root/tessaro/data/Ghosts/My-PB.ghost.part
awk 'BEGIN { for (i = 0; i < 10000; i++) printf "precious!\n" }' > root/outside/page.txt
cp root/outside/page.txt root/outside/page.kept
if [ "$mode" = wine ]; then
  ln root/outside/page.txt root/tessaro/plugins/settings/Lumaro.set
else
  ln -s "$(pwd)/root/outside/page.txt" root/tessaro/plugins/settings/Lumaro.set
fi

status=0
if [ "$mode" = wine ]; then
  "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
    /d 'KERNEL32.CreateFileW;KERNEL32.FlushFileBuffers;KERNEL32.MoveFileExW' /f >/dev/null 2>&1
  WINEDEBUG=+relay "$wine" "$host" --plugin "$plugin" --root root "$scenario" 2> trace.txt > console.txt || status=$?
  # Call KERNEL32.CreateFileW(... L"...\\@1.part",...) / Ret ... retval=H, FlushFileBuffers(H) / Ret retval=1,
  # then Call KERNEL32.MoveFileExW(... L"...\\@1.part",... L"...\\My-PB.ghost",00000009).
  flushed='
    function handle(text) { sub(/^0+/, "", text); return text }
    /Call KERNEL32.CreateFileW\(/ { name = $0; sub(/^[^"]*"/, "", name); sub(/".*/, "", name); next }
    /Ret  KERNEL32.CreateFileW\(\)/ { h = $0; sub(/.*retval=/, "", h); sub(/ .*/, "", h); opened[handle(h)] = name; next }
    /Call KERNEL32.FlushFileBuffers\(/ { h = $0; sub(/.*FlushFileBuffers\(/, "", h); sub(/\).*/, "", h); asked = handle(h); next }
    /Ret  KERNEL32.FlushFileBuffers\(\) retval=0*1 / { flushed[opened[asked]] = 1; next }
    /Call KERNEL32.MoveFileExW\(/ {
      split($0, part, "\"")
      if (part[2] ~ /@[0-9]+\.part$/ && part[4] ~ /My-PB\.ghost$/ && $0 ~ /,00000009\)/ && flushed[part[2]]) ok = 1
    }
    END { exit ok ? 0 : 1 }'
else
  if ! command -v strace >/dev/null 2>&1; then
    echo "skipped: strace is not installed"
    exit 77
  fi
  if ! strace -o /dev/null true 2>/dev/null; then
    echo "skipped: strace may not trace here"
    exit 77
  fi
  # LeakSanitizer cannot work under ptrace: an ASan build is traced without it.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    strace -f -s 4096 -e trace=openat,fsync,rename,renameat,renameat2 -o trace.txt \
    "$host" --plugin "$plugin" --root root "$scenario" > console.txt || status=$?
  # openat(..., "/.../@1.part", O_WRONLY|O_CREAT|O_EXCL...) = FD, fsync(FD) = 0, then rename("/.../@1.part", ...).
  flushed='
    /openat\(.*@[0-9]+\.part", O_WRONLY\|O_CREAT\|O_EXCL/ { split($0, part, "\""); opened[$NF] = part[2]; next }
    /fsync\([0-9]+\) += 0$/ { fd = $0; sub(/.*fsync\(/, "", fd); sub(/\).*/, "", fd); flushed[opened[fd]] = 1; next }
    /rename(at2?)?\(/ {
      split($0, part, "\"")
      if (part[2] ~ /@[0-9]+\.part$/ && part[4] ~ /My-PB\.ghost$/ && flushed[part[2]]) ok = 1
    }
    END { exit ok ? 0 : 1 }'
fi

cat console.txt
if [ -L root/tessaro/data/Ghosts ] && [ -L root/tessaro/plugins/settings ] && [ -f root/synced/Ghosts/My-PB.ghost ] &&
  grep -q '@My-PB.ghost' root/synced/settings/Lumaro.set && ! grep -q 'Could not' console.txt; then
  echo "ok    the ghost and settings folders were followed where their links lead, and are links still"
else
  echo "FAIL  a folder that is a link was not followed, or is no longer a link:"
  ls -la root/tessaro/data root/tessaro/plugins root/synced/Ghosts root/synced/settings
  grep 'Could not' console.txt || true
  status=1
fi
if [ "$(cat "$precious")" = mine ] && [ -L root/tessaro/data/Ghosts/@0.part ] &&
  [ -L root/tessaro/data/Ghosts/My-PB.ghost.part ]; then
  echo "ok    the links planted under scratch names, and the file they lead to, are as they were"
else
  echo "FAIL  a planted link, or the file it leads to, changed:"
  ls -la root/tessaro/data/Ghosts root/outside
  status=1
fi
if cmp -s root/outside/page.txt root/outside/page.kept && [ ! -L root/tessaro/plugins/settings/Lumaro.set ] &&
  grep -q '^Lumaro' root/tessaro/plugins/settings/Lumaro.set; then
  echo "ok    the link planted at the settings page was replaced; the file it led to is as it was"
else
  echo "FAIL  the settings page was written through the link planted at its name, or not written:"
  ls -la root/tessaro/plugins/settings root/outside
  status=1
fi
if awk "$flushed" trace.txt; then
  echo "ok    the export flushed its scratch file to the disk before renaming it over the ghost"
else
  echo "FAIL  no flush of the scratch file before its rename over the ghost in the trace:"
  grep -E 'part|ghost|Flush|fsync' trace.txt | tail -20
  status=1
fi
exit $status
