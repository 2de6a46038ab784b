#!/bin/sh
# The examples a reader copies, run as written, so that none can rot:
#   help         the scenario of lumaro-host --help
#   help-steps   the example beside each step of lumaro-host --help, each understood as a step
#   page         the settings page drawn in docs/players.md, against the page lumaro-host --page shows after
#                the demo's scenario
#   DOCUMENT     every example file of the document (docs/lumaro-host.md, docs/map-makers.md): an indented block whose
#                first line is a comment naming its file, "# NAME.scenario" or "# NAME.map", is written out
#                under that name to the block's end, and each scenario is then run beside the others, as
#                the reader would
#   examples.sh LUMARO_HOST SOURCE_DIR WORK_DIR help|help-steps|page|DOCUMENT
set -u
host=$1 source=$2 work=$3 what=$4
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

if [ "$what" = page ]; then
  # The players' guide draws the settings page as lumaro-host --page shows it at the end of the demo.
  "$host" --page "$source/scenarios/showcase.scenario" >demo.out 2>&1
  sed -n '/^Settings page, as the player sees it/,/^$/p' demo.out | sed '1d;$d; s/^  //' >shown.txt
  awk '/^    Lumaro$/ { inside = 1 } inside && !/^    / { exit } inside { print substr($0, 5) }' \
    "$source/docs/players.md" >guide.txt
  if [ ! -s shown.txt ] || ! diff guide.txt shown.txt; then
    echo "FAIL  the settings page in docs/players.md (<) is not the page lumaro-host --page shows (>)"
    exit 1
  fi
  echo "page: the players' guide shows the settings page as it is, $(wc -l <shown.txt) lines"
  exit 0
elif [ "$what" = help-steps ]; then
  # The example beside each step of --help (at the end of a line of its description, or on a line of its
  # own), every one understood: written one after the other with a line that is no step at the end, the
  # scenario must be refused for that last line alone.
  "$host" --help | awk '
    /^Steps:$/ { inside = 1; next }
    inside && /^  A regular expression/ { exit }
    inside && /^      / {
      if ($0 ~ /^                    +[a-z]/) { sub(/^ +/, ""); print; next }
      line = substr($0, 7)
      if (match(line, /[^ ]   +[a-z][^ ]*( [^ ]+)*$/)) {
        example = substr(line, RSTART + 1); sub(/^ +/, "", example); print example
      }
    }' >steps.scenario
  count=$(wc -l <steps.scenario)
  echo "no-such-step" >>steps.scenario
  out=$("$host" steps.scenario 2>&1)
  expected="steps.scenario:$((count + 1)): unknown step \"no-such-step\" (lumaro-host --help lists the steps)
lumaro-host: 1 line not understood; nothing was run"
  if [ "$count" -lt 20 ] || [ "$out" != "$expected" ]; then
    echo "FAIL  help-steps: of the $count examples beside the steps of --help, some are not understood:"
    echo "$out"
    exit 1
  fi
  echo "help-steps: the $count examples beside the steps of --help are understood"
  exit 0
elif [ "$what" = help ]; then
  # The lines after "A scenario:" up to the first blank one, without their indent.
  "$host" --help | awk '/^A scenario:$/ { inside = 1; next } inside && /^$/ { exit } inside { sub(/^  /, ""); print }' \
    >help.scenario
else
  awk -v out="$work" '
    /^    / { line = substr($0, 5)
              if (!inside && line ~ /^# [A-Za-z0-9_-]+\.(scenario|map)([ :].*)?$/) {
                file = out "/" substr(line, 3); sub(/[ :].*$/, "", file); inside = 1; printf "" >file }
              if (inside) print line >>file
              next }
    /^$/ && inside { print "" >>file; next }
    { inside = 0 }' "$source/$what"
fi

count=0 failures=0
for scenario in *.scenario; do
  [ -f "$scenario" ] || continue
  count=$((count + 1))
  if ! out=$("$host" "$scenario" 2>&1); then
    echo "FAIL  $what: $scenario as written does not pass:"
    echo "$out" | tail -15
    failures=$((failures + 1))
  fi
done
if [ $count -eq 0 ]; then
  echo "FAIL  $what: no example scenario found"
  exit 1
fi
echo "$what: $count example scenarios run, $failures failed"
[ $failures -eq 0 ]
