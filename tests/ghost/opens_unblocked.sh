#!/bin/sh
# lumaro-ghost opens a ghost first, without waiting, and judges the open handle: a pipe swapped in under the
# name between a look and an open cannot hold it. Traced with strace, every open of the ghost's name must be
# non-blocking; and a pipe given by name is refused at once. The same for -o: a pipe there that something
# reads gets the picture through one open that never waits, and a pipe that nothing reads is refused at once.
#   opens_unblocked.sh LUMARO_GHOST GHOST WORK_DIR
# Exits 77 (skipped) when strace is missing or may not trace.
set -eu
tool=$1 ghost=$2 work=$3
if ! command -v strace >/dev/null 2>&1 || ! strace -o /dev/null true 2>/dev/null; then
  echo "skipped: strace is missing or may not trace here"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
cp "$ghost" "$work/run.ghost"
mkfifo "$work/pipe.ghost"
status=0
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  strace -f -e trace=open,openat -o "$work/trace.txt" "$tool" info "$work/run.ghost" >/dev/null || status=$?
opens=$(grep -c 'run\.ghost", O_' "$work/trace.txt" || true)
blocking=$(grep 'run\.ghost", O_' "$work/trace.txt" | grep -vc O_NONBLOCK || true)
if [ "$opens" -gt 0 ] && [ "$blocking" -eq 0 ]; then
  echo "ok    the ghost was opened without waiting ($opens opens)"
else
  echo "FAIL  an open of the ghost could wait for a pipe's writer:"
  grep 'run\.ghost' "$work/trace.txt"
  status=1
fi
if timeout 20 "$tool" check "$work/pipe.ghost" >/dev/null 2>"$work/pipe.err"; [ $? -eq 1 ] &&
  grep -q 'is a pipe, device or socket' "$work/pipe.err"; then
  echo "ok    a pipe is refused at once"
else
  echo "FAIL  a pipe was not refused: $(cat "$work/pipe.err")"
  status=1
fi
mkfifo "$work/unread.svg" "$work/read.svg"
if timeout 20 "$tool" plot "$work/run.ghost" -o "$work/unread.svg" 2>"$work/unread.err"; [ $? -eq 1 ] &&
  grep -q 'it is a pipe that nothing reads' "$work/unread.err"; then
  echo "ok    -o naming a pipe that nothing reads is refused at once"
else
  echo "FAIL  -o naming a pipe that nothing reads: $(cat "$work/unread.err")"
  status=1
fi
timeout 20 cat "$work/read.svg" >"$work/read.out" &
reader=$!
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" timeout 20 \
  strace -f -e trace=open,openat -o "$work/trace-o.txt" "$tool" plot "$work/run.ghost" -o "$work/read.svg" || status=$?
wait $reader || true
opens=$(grep -c 'read\.svg", O_' "$work/trace-o.txt" || true)
blocking=$(grep 'read\.svg", O_' "$work/trace-o.txt" | grep -vc O_NONBLOCK || true)
if [ "$opens" -eq 1 ] && [ "$blocking" -eq 0 ] && grep -q '<svg' "$work/read.out"; then
  echo "ok    -o naming a pipe that something reads: one open that never waits, and the picture read"
else
  echo "FAIL  -o naming a pipe: $opens opens, $blocking of them could wait; read $(wc -c <"$work/read.out") bytes"
  grep 'read\.svg' "$work/trace-o.txt"
  status=1
fi
exit $status
