#!/usr/bin/env bash
# wrenly build, inspect --verify and extract on the demo project with the real
# Installer stub: the stub's program comes first, unchanged (its resources become
# the product's), and the files come back.
set -euo pipefail
wrenly=$1 src=$2 win32=$3 work=$4
stub=$win32/installer/wrenly-stub.exe uninstaller=$win32/uninstaller/wrenly-uninstall.exe bin=$win32/examples/demo/app demo=$src/examples/demo
if [ ! -f "$stub" ] || [ ! -f "$uninstaller" ] || [ ! -f "$bin/demo.exe" ]; then echo "skipped: the win32 flavour is not built"; exit 77; fi
rm -rf "$work"; mkdir -p "$work"
"$wrenly" build "$demo/demo.toml" -o "$work/setup.exe" --stub "$stub" --uninstaller "$uninstaller" -D DEMO_BIN="$bin" \
  --quiet
python3 - "$stub" "$work/setup.exe" <<'PY'
import struct, sys
stub, setup = (open(p, "rb").read() for p in sys.argv[1:])
rsrc = struct.unpack_from("<I", stub, stub.index(b".rsrc\0\0\0", 0, 1024) + 20)[0]
# The headers' sizes and checksum follow the new resources; the rest is the stub's.
assert stub[1024:rsrc] == setup[1024:rsrc], "the setup program does not start with the stub's program"
assert "Wrenly Demo Setup".encode("utf-16-le") in setup[rsrc:rsrc + 8192], "no version resource"
PY
"$wrenly" inspect --json --verify "$work/setup.exe" | grep -q '"errors": \[\]'
"$wrenly" extract "$work/setup.exe" "$work/out" > /dev/null
cmp "$bin/demo.exe" "$work/out/install/demo.exe"
for f in readme.txt license.txt; do cmp "$demo/$f" "$work/out/install/$f"; done
