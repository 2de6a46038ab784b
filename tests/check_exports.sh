#!/bin/sh
# Lists the dynamic symbols a plugin library defines and fails on any that is not an entry point or a
# member of the host base class.
set -eu
library="$1"
symbols=$(nm -D --defined-only --demangle "$library" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }')
echo "$symbols"
for name in exports getPlugin deleteMe "vtable for Tessaro::Plugin::TessaroPlugin" \
            "Tessaro::Plugin::TessaroPlugin::onLoad()" "Tessaro::Plugin::TessaroPlugin::onUnload()"; do
  printf '%s\n' "$symbols" | grep -qxF "$name" || { echo "missing export: $name"; exit 1; }
done
unexpected=$(printf '%s\n' "$symbols" | grep -vxE 'exports|getPlugin|deleteMe|(vtable|typeinfo|typeinfo name) for Tessaro::Plugin::TessaroPlugin|Tessaro::Plugin::TessaroPlugin::.*' || true)
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"
  echo "$unexpected"
  exit 1
fi
echo "exports OK"
