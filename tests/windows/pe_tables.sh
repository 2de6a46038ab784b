# Shell functions over objdump -p for the DLL checks (sourced, not run). The caller sets cxx (the mingw-w64
# compiler) and objdump (its objdump); without them the check exits 77, skipped, as the Windows build then
# is. fail MESSAGE counts a failure in failures.

if [ ! -x "$cxx" ] || [ ! -x "$objdump" ]; then
  echo "skipped: the mingw-w64 cross compiler or x86_64-w64-mingw32-objdump is not installed"
  exit 77
fi
failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }

cxxfilt=${objdump%objdump}c++filt
[ -x "$cxxfilt" ] || cxxfilt=c++filt

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

# check_plugin_exports DLL: the plugin exports what the host looks up ("exports", "getPlugin", "deleteMe"
# under plain names and the members of the host base class), and nothing else.
check_plugin_exports() {
  names=$(exported "$1")
  echo "$(basename "$1") exports:"; printf '%s\n' "$names" | sed 's/^/  /'
  for name in exports getPlugin deleteMe \
              "Tessaro::Plugin::TessaroPlugin::onLoad()" "Tessaro::Plugin::TessaroPlugin::onUnload()" \
              "Tessaro::Plugin::TessaroPlugin::TessaroPlugin()" "Tessaro::Plugin::TessaroPlugin::~TessaroPlugin()" \
              "vtable for Tessaro::Plugin::TessaroPlugin"; do
    printf '%s\n' "$names" | grep -qxF "$name" || fail "$1 does not export $name"
  done
  unexpected=$(printf '%s\n' "$names" |
    grep -vxE 'exports|getPlugin|deleteMe|(vtable|typeinfo|typeinfo name) for Tessaro::Plugin::TessaroPlugin|Tessaro::Plugin::TessaroPlugin::.*' || true)
  [ -z "$unexpected" ] || fail "$1 exports more than the host needs: $unexpected"
}

# check_imports FILE ALLOWED...: every DLL the binary imports is among the allowed ones (case-insensitive).
check_imports() {
  file=$1; shift
  dlls=$(imported "$file")
  echo "$(basename "$file") imports:"; printf '  %s\n' $dlls
  for dll in $dlls; do
    allowed=no
    for name in "$@"; do
      [ "$(echo "$dll" | tr A-Z a-z)" = "$(echo "$name" | tr A-Z a-z)" ] && allowed=yes
    done
    [ $allowed = yes ] || fail "$(basename "$file") imports $dll; only $* are expected (is a runtime DLL no longer linked in?)"
  done
}
