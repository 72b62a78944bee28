#!/usr/bin/env bash
# wrenly build, inspect --verify and extract on the demo project with the real
# Installer stub: the stub comes first, unchanged, and the files come back.
set -euo pipefail
wrenly=$1 src=$2 win32=$3 work=$4
stub=$win32/installer/wrenly-stub.exe uninstaller=$win32/uninstaller/wrenly-uninstall.exe bin=$win32/examples/demo/app demo=$src/examples/demo
if [ ! -f "$stub" ] || [ ! -f "$uninstaller" ] || [ ! -f "$bin/demo.exe" ]; then echo "skipped: the win32 flavour is not built"; exit 77; fi
rm -rf "$work"; mkdir -p "$work"
"$wrenly" build "$demo/demo.toml" -o "$work/setup.exe" --stub "$stub" --uninstaller "$uninstaller" -D DEMO_BIN="$bin" \
  --quiet
cmp -n "$(stat -c %s "$stub")" "$stub" "$work/setup.exe"
"$wrenly" inspect --json --verify "$work/setup.exe" | grep -q '"errors": \[\]'
"$wrenly" extract "$work/setup.exe" "$work/out" > /dev/null
cmp "$bin/demo.exe" "$work/out/install/demo.exe"
for f in readme.txt license.txt; do cmp "$demo/$f" "$work/out/install/$f"; done
