#!/bin/sh
# lumaro-bench writing into a pipe, as make bench | tee does: its report holds no colour codes.
#   no_colour_in_a_pipe.sh LUMARO_BENCH
set -eu
report=$("$1" --benchmark_filter='^BM_FormatRaceTime$' --benchmark_min_time=0.01 | cat)
escape=$(printf '\033')
case $report in *"$escape"*) echo "FAIL  colour codes in a pipe:"; printf '%s\n' "$report" | cat -v; exit 1 ;; esac
case $report in *BM_FormatRaceTime*) ;; *) echo "FAIL  no report: $report"; exit 1 ;; esac
echo "ok    no colour codes in a pipe"
