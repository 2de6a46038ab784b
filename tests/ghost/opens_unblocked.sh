#!/bin/sh
# lumaro-ghost opens a ghost first, without waiting, and judges the open handle: a pipe swapped in under the
# name between a look and an open cannot hold it. Traced with strace, every open of the ghost's name must be
# non-blocking; and a pipe given by name is refused at once.
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
exit $status
