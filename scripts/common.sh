# Shared by scripts/test, run, wine-run, package and check-package (sourced):
# the Wine prefix the Windows tests use, a virtual X server on demand, a wait
# for a window by its caption and a reader of the prefix's registry.

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

# Waits until a window captioned exactly $1 is shown on DISPLAY, at most $2
# seconds (90 by default); returns 1 when none showed.
frambo_wait_for_caption() {
  local caption=$1 seconds=${2:-90} i window
  for ((i = 0; i < seconds * 2; i++)); do
    for window in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$caption\"" | awk '{ print $1 }'); do
      # Listed windows may still be unmapped.
      xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
    done
    sleep 0.5
  done
  return 1
}

# The data of value $2 of registry key $1 in the Wine prefix ("" names the
# key's default value); fails when the key or the value is missing.
frambo_reg_value() {
  local output
  if [[ -z $2 ]]; then
    output=$("$frambo_wine" reg query "$1" /ve 2>/dev/null) || return 1
  else
    output=$("$frambo_wine" reg query "$1" /v "$2" 2>/dev/null) || return 1
  fi
  # "    NAME    REG_SZ    DATA", lines ending in CR LF.
  printf '%s\n' "$output" | tr -d '\r' | awk -F '    ' 'NF >= 3 && $3 ~ /^REG_/ { print $4; found = 1 } END { exit !found }'
}
