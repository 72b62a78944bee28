#!/usr/bin/env bash
# Fixture set-up of the Wine tests: a prefix (made once, reused), an Xvfb
# screen on a free display, a persistent wineserver, and the flavour probe
# (32-bit Wine when this host runs it, else 64-bit Wine with the x86_64
# build). Writes the decisions to the state file that every scenario reads.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
set +e

mkdir -p "$WRENLY_WINE_STATE"
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver)

write_state() {  # flavour loader reason
  cat >"$state_file" <<STATE
WRENLY_FLAVOUR=$1
WRENLY_WINE_LOADER=$2
WRENLY_SKIP_REASON='$3'
WRENLY_WINESERVER=$server
DISPLAY=${DISPLAY:-}
WRENLY_XVFB_PID=${xvfb_pid:-}
STATE
  echo "flavour: $1${3:+ ($3)}"
}

# Leftovers of an interrupted run: the Xvfb this fixture started then.
if [ -f "$state_file" ]; then
  old_pid=$(sed -n 's/^WRENLY_XVFB_PID=//p' "$state_file")
  if [ -n "$old_pid" ] && [ "$(cat /proc/"$old_pid"/comm 2>/dev/null)" = Xvfb ]; then
    kill "$old_pid"
  fi
  rm -f "$state_file"
fi

xvfb_pid=
if ! command -v Xvfb >/dev/null; then
  write_state none "" "Xvfb is not installed"
  exit 0
fi
if [ ! -x "$wine64" ] && [ ! -x "$wine32" ]; then
  write_state none "" "Wine is not installed"
  exit 0
fi

# Xvfb picks a free display itself and writes its number once it accepts clients.
: >"$WRENLY_WINE_STATE/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WRENLY_WINE_STATE/display" \
  >"$WRENLY_WINE_STATE/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
# Recorded at once, so a set-up that stops half-way still lets cleanup.sh
# (or the next set-up) end this Xvfb.
write_state none "" "the Wine set-up did not finish" >/dev/null
for _ in $(seq 100); do
  [ -s "$WRENLY_WINE_STATE/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$WRENLY_WINE_STATE/display" ]; then
  xvfb_pid=
  write_state none "" "Xvfb did not start (see $WRENLY_WINE_STATE/xvfb.log)"
  exit 0
fi
DISPLAY=:$(head -n1 "$WRENLY_WINE_STATE/display")
export DISPLAY
echo "display: $DISPLAY"

# The loader that can run at all makes the prefix; a 64-bit prefix serves both.
boot_loader=$wine64
if [ -x "$wine32" ] && "$wine32" --version >/dev/null 2>&1; then boot_loader=$wine32; fi
start=$(date +%s)
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # With a server of its own, which writes the registry files when it ends.
  echo "making the prefix $WINEPREFIX"
  "$server" -k </dev/null >/dev/null 2>&1
  "$boot_loader" wineboot -i </dev/null >"$WRENLY_WINE_STATE/wineboot.log" 2>&1
  timeout 120 "$server" -w
fi
"$server" -p </dev/null >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  write_state none "" "wineboot could not make the prefix (see $WRENLY_WINE_STATE/wineboot.log)"
  exit 0
fi
# Without a window manager Wine waits up to 2 s for every hidden window to be
# withdrawn; unmanaged windows skip that wait (and look the same on Xvfb).
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
  "$boot_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
fi
# Wine links the user's Desktop, Documents ... to the home folder; plain
# folders keep what the tests install inside the prefix.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
echo "prefix ready in $(($(date +%s) - start)) s"

probe() {  # loader driver.exe expected-bits
  [ -x "$1" ] && [ -f "$2" ] || return 1
  local out
  out=$(timeout 60 "$1" "$2" probe </dev/null 2>/dev/null | tr -d '\r')
  [ "$out" = "driver bits=$3" ]
}

win32_driver=$WRENLY_WIN32_DIR/tests/wine/driver/wrenly-driver.exe
win64_driver=$WRENLY_WIN64_DIR/tests/wine/driver/wrenly-driver.exe
if probe "$wine32" "$win32_driver" 32; then
  write_state win32 "$wine32" ""
elif probe "$wine64" "$win64_driver" 64; then
  write_state win64 "$wine64" ""
elif [ ! -f "$win32_driver" ] && [ ! -f "$win64_driver" ]; then
  write_state none "" "no Windows build of the test driver ($win32_driver, $win64_driver)"
else
  write_state none "" "neither 32-bit Wine with $win32_driver nor 64-bit Wine with $win64_driver runs here"
fi
exit 0
