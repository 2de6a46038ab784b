#!/bin/sh
# Installs the Debian packages of cmake/packages.txt that serve any of the uses named, and are missing.
#   cmake/packages.sh USE...      (make demo: demo; make test: demo test bench windows browser; make deps: all)
# Nothing is said when every one is installed. Otherwise one line names them, then apt-get installs them: as
# root directly, else through sudo where it works without a password; where neither can, it prints the one
# apt-get line to run and exits 1, so that nothing is built without them.
set -eu
list=$(dirname "$0")/packages.txt
[ $# -gt 0 ] || { echo "usage: $0 USE... (or all)" >&2; exit 2; }
uses=" $* "
for use in "$@"; do
  case $use in demo|test|bench|windows|browser|static|fuzz|ci|all) ;;
  *) echo "$0: no use \"$use\" in $list (demo, test, bench, windows, browser, static, fuzz, ci or all)" >&2; exit 2 ;;
  esac
done
wanted=$(sed 's/#.*//' "$list" | awk -v uses="$uses" 'NF > 1 {
  for (i = 2; i <= NF; i++) if (uses ~ " all " || index(uses, " " $i " ")) { print $1; break } }')
missing=
for package in $wanted; do
  [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" = "install ok installed" ] || missing="$missing $package"
done
[ -n "$missing" ] || exit 0
if [ "$(id -u)" = 0 ]; then
  as_root=
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  as_root="sudo -n"
else
  echo "Missing the packages for $*:$missing. Install them as root, then run the same command again:" >&2
  echo "  apt-get update && apt-get install$missing" >&2
  exit 1
fi
echo "Installing the packages for $* (cmake/packages.txt):$missing"
# dpkg's progress is left out; apt-get's errors still show.
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086 # one word a package
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 $missing >/dev/null
echo "Installed:$missing"
