#!/usr/bin/env bash
# Fixture set-up of the Wine tests: a prefix (made once, reused), an Xvfb
# screen of its own, a persistent wineserver, and the flavour (the probe of
# scripts/wine-env). Writes the decisions to the state file that every
# scenario reads.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
set +e

mkdir -p "$WRENLY_WINE_STATE"
# shellcheck source=../../scripts/wine-env
. "$here/../../scripts/wine-env"

write_state() {  # flavour loader reason
  {
    echo "WRENLY_FLAVOUR=$1"
    echo "WRENLY_WINE_LOADER=$2"
    echo "WRENLY_SKIP_REASON=$(printf '%q' "$3")"
    echo "WRENLY_FLAVOUR_LINE=$(printf '%q' "wine flavour: $1 (${3:-${WRENLY_FLAVOUR_WHY:-}})")"
    echo "WRENLY_WINESERVER=$wrenly_wineserver"
    echo "DISPLAY=${DISPLAY:-}"
    echo "WRENLY_XVFB_PID=${wrenly_xvfb_pid:-}"
  } >"$state_file"
}

# Leftovers of an interrupted run: the Xvfb this fixture started then.
if [ -f "$state_file" ]; then
  old_pid=$(sed -n 's/^WRENLY_XVFB_PID=//p' "$state_file")
  if [ -n "$old_pid" ] && [ "$(cat /proc/"$old_pid"/comm 2>/dev/null)" = Xvfb ]; then
    kill "$old_pid"
  fi
  rm -f "$state_file"
fi

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
# Recorded at once, so a set-up that stops half-way still lets cleanup.sh
# (or the next set-up) end this Xvfb.
write_state none "" "the Wine set-up did not finish"
echo "display: $DISPLAY"

start=$(date +%s)
[ -f "$WINEPREFIX/system.reg" ] || echo "making the prefix $WINEPREFIX"
wrenly_make_prefix "$WRENLY_WINE_STATE/wineboot.log" ||
  none "wineboot could not make the prefix (see $WRENLY_WINE_STATE/wineboot.log)"
"$wrenly_wineserver" -p </dev/null >/dev/null 2>&1
echo "prefix ready in $(($(date +%s) - start)) s"

wrenly_pick_flavour "$WRENLY_WIN32_DIR" "$WRENLY_WIN64_DIR"
case "$WRENLY_FLAVOUR" in
  win32 | win64) write_state "$WRENLY_FLAVOUR" "$WRENLY_WINE" "" ;;
  *) write_state none "" "$WRENLY_FLAVOUR_WHY" ;;
esac
exit 0
