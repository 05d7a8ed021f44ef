# Shared by scripts/test, scripts/run and scripts/wine-run (sourced, not run):
# the Wine prefix the Windows tests use and a virtual X server on demand.

frambo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# 64-bit Wine with a private prefix inside the build tree; no debug chatter
# and no offer to install Mono or Gecko, which would block on a dialog.
frambo_wine_env() {
  export WINEPREFIX=${FRAMBO_WINEPREFIX:-$frambo_root/build/windows/wineprefix}
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ -x /usr/lib/wine/wine64 ]]; then
    frambo_wine=/usr/lib/wine/wine64
  elif command -v wine64 >/dev/null; then
    frambo_wine=$(command -v wine64)
  else
    frambo_wine=$(command -v wine)
  fi
  export WINELOADER=$frambo_wine
}

# Ends every Wine process of our prefix (editors a failed test left open).
frambo_wine_kill() {
  if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
    wineserver -k 2>/dev/null || true
  fi
}

frambo_xvfb_pid=
# Starts Xvfb on a free display and exports DISPLAY.
frambo_start_xvfb() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  frambo_xvfb_pid=$!
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -s $display_file ]] && break
    if ! kill -0 "$frambo_xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [[ ! -s $display_file ]]; then
    rm -f "$display_file"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
  rm -f "$display_file"
}

frambo_stop_xvfb() {
  if [[ -n $frambo_xvfb_pid ]]; then
    kill "$frambo_xvfb_pid" 2>/dev/null || true
    wait "$frambo_xvfb_pid" 2>/dev/null || true
    frambo_xvfb_pid=
  fi
}
