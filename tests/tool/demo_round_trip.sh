#!/usr/bin/env bash
# wrenly build → inspect --verify → extract, on the demo project with the
# real Installer stub; the extracted files must equal their sources, and a
# second build must give the same bytes.
set -euo pipefail
wrenly=$1 src=$2 win32=$3 work=$4
stub=$win32/installer/wrenly-stub.exe
bin=$win32/examples/demo/app
if [ ! -f "$stub" ] || [ ! -f "$bin/demo.exe" ]; then
  echo "skipped: the win32 flavour is not built ($stub)"; exit 77
fi
rm -rf "$work"; mkdir -p "$work"
"$wrenly" build "$src/examples/demo/demo.toml" -o "$work/setup.exe" --stub "$stub" -D DEMO_BIN="$bin" --quiet
"$wrenly" build "$src/examples/demo/demo.toml" -o "$work/again.exe" --stub "$stub" -D DEMO_BIN="$bin" --quiet
cmp "$work/setup.exe" "$work/again.exe"
"$wrenly" inspect --verify "$work/setup.exe" > "$work/inspect.txt"
grep -q "Wrenly Demo" "$work/inspect.txt"
"$wrenly" extract "$work/setup.exe" "$work/out" > /dev/null
cmp "$bin/demo.exe" "$work/out/install/demo.exe"
cmp "$src/examples/demo/readme.txt" "$work/out/install/readme.txt"
cmp "$src/examples/demo/license.txt" "$work/out/install/license.txt"
# The stub is the file's first bytes, unchanged.
cmp -n "$(stat -c %s "$stub")" "$stub" "$work/setup.exe"
echo "round trip ok: $(stat -c %s "$work/setup.exe") bytes"
