#!/usr/bin/env bash
# Fixture clean-up: ends the wineserver of the test prefix (and the programs
# it still serves) and the Xvfb that setup.sh started.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
set +e
[ -f "$state_file" ] || exit 0
. "$state_file"
if [ -n "${WRENLY_WINESERVER:-}" ] && [ -d "$WINEPREFIX" ]; then
  "$WRENLY_WINESERVER" -k </dev/null >/dev/null 2>&1
fi
if [ -n "${WRENLY_XVFB_PID:-}" ] && [ "$(cat /proc/"$WRENLY_XVFB_PID"/comm 2>/dev/null)" = Xvfb ]; then
  kill "$WRENLY_XVFB_PID"
fi
sed -i 's/^WRENLY_XVFB_PID=.*/WRENLY_XVFB_PID=/' "$state_file"
exit 0
