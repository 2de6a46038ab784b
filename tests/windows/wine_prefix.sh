# The Wine settings every Windows program run by the suite shares (sourced, not run): the prefix lives in
# the Windows build folder and is made once (it takes a while the first time); console programs only, so no
# display is used. The caller sets wine (the Wine program) and windows_build (the Windows build folder).
export WINEPREFIX="$windows_build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX (first run only)"
  wine_prefix_start=$(date +%s)
  "$wine" wineboot --init >/dev/null 2>&1
  echo "Wine prefix ready after $(( $(date +%s) - wine_prefix_start )) s"
fi
