#!/usr/bin/env bash
# Fixture set-up of the Wine tests: a prefix (made once, reused), an Xvfb
# screen of its own, a persistent wineserver, and the flavour (the probe of
# scripts/wine-env). Writes the decisions to the state file that every
# scenario reads. With --cleanup, the fixture's clean-up: ends the wineserver
# of the test prefix (and the programs it still serves) and the Xvfb.
. "$(dirname "$0")/lib.sh"
set +e

cleanup() {
  [ -f "$state_file" ] || return 0
  . "$state_file"
  if [ -n "${WRENLY_WINESERVER:-}" ] && [ -d "$WINEPREFIX" ]; then
    "$WRENLY_WINESERVER" -k </dev/null >/dev/null 2>&1
  fi
  if [ -n "${WRENLY_XVFB_PID:-}" ] && [ "$(cat /proc/"$WRENLY_XVFB_PID"/comm 2>/dev/null)" = Xvfb ]; then
    kill "$WRENLY_XVFB_PID"
  fi
  sed -i 's/^WRENLY_XVFB_PID=.*/WRENLY_XVFB_PID=/' "$state_file"
}
[ "${1:-}" = --cleanup ] && { cleanup; exit 0; }
mkdir -p "$WRENLY_WINE_STATE"

write_state() {  # flavour loader reason
  {
    echo "WRENLY_FLAVOUR=$1"
    echo "WRENLY_WINE_LOADER=$2"
    echo "WRENLY_SKIP_REASON=$(printf '%q' "$3")"
    echo "WRENLY_FLAVOUR_LINE=$(printf '%q' "wine flavour: $1 (${3:-${WRENLY_FLAVOUR_WHY:-}}), prefix: $(prefix_words "$1")")"
    echo "WRENLY_WINESERVER=$wrenly_wineserver"
    echo "DISPLAY=${DISPLAY:-}"
    echo "WRENLY_XVFB_PID=${wrenly_xvfb_pid:-}"
  } >"$state_file"
}

# Leftovers of an interrupted run: the Xvfb and wineserver it started.
(cleanup)
rm -f "$state_file"

none() {  # reason
  write_state none "" "$1"
  echo "wine flavour: none ($1)"
  exit 0
}
command -v Xvfb >/dev/null || none "Xvfb is not installed"
[ -x "$wrenly_wine64" ] || [ -x "$wrenly_wine32" ] || none "Wine is not installed"

# A screen of the tests' own, even where the developer has a display.
unset DISPLAY
wrenly_display_up || none "Xvfb did not start"
# Recorded at once, so a set-up that stops half-way still lets the clean-up
# (or the next set-up) end this Xvfb.
write_state none "" "the Wine set-up did not finish"

[ -f "$WINEPREFIX/system.reg" ] || echo "making the prefix $WINEPREFIX"
wrenly_make_prefix "$WRENLY_WINE_STATE/wineboot.log" ||
  none "wineboot could not make the prefix (see $WRENLY_WINE_STATE/wineboot.log)"
# The session's server must be started by -p to stay: one still running from
# the prefix's making would end a few seconds after each last program, and
# every new session runs (and empties) RunOnce as a restart would.
timeout 120 "$wrenly_wineserver" -w </dev/null >/dev/null 2>&1
"$wrenly_wineserver" -p </dev/null >/dev/null 2>&1

wrenly_pick_flavour "$WRENLY_WIN32_DIR" "$WRENLY_WIN64_DIR"
[ "$WRENLY_FLAVOUR" != none ] || none "$WRENLY_FLAVOUR_WHY"
[ "$WRENLY_FLAVOUR/$wrenly_prefix_kind" != win64/win32 ] || none "the x86_64 build cannot run on a 32-bit Windows"
# The first program of a server session starts Wine's services, which keep
# that program's output open: started here with its output going nowhere, so
# that no scenario waits for the end of an output that never comes (a prefix
# made earlier, or cached, has run no program in this session yet).
"$WRENLY_WINE" cmd /c exit </dev/null >/dev/null 2>&1
write_state "$WRENLY_FLAVOUR" "$WRENLY_WINE" ""
exit 0
