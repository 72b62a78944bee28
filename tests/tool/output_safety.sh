#!/usr/bin/env bash
# Builds refused before anything is written (outputs that must not be replaced,
# a file too large for the package's 32-bit sizes), a build stopped by SIGINT or
# SIGHUP while compressing: no new file, an earlier setup.exe keeps its bytes;
# and one whose log reader went away, which still builds.
set -euo pipefail
wrenly=$1 make_corpus=$2 work=$3
rm -rf "$work"; mkdir -p "$work/p/sub"
cd "$work/p"
cp "$(dirname "$wrenly")/wrenly-stub.exe" stub.exe  # the real one: the build checks its header
echo hello > a.txt; echo terms > lic.txt; echo news > info.txt; cp stub.exe un.exe
printf 'BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\0' > side.bmp
printf '[product]\nname = "P"\nlicense = "lic.txt"\ninformation = "info.txt"\n[theme]\nside_bitmap = "side.bmp"\n' > p.toml
printf '[uninstaller]\nprogram = "un.exe"\n[[files]]\nsource = "${SRC}"\n' >> p.toml
build() { "$wrenly" build p.toml --stub stub.exe "$@"; }
listing() { find . | sort; }

: > err; truncate -s 4G huge.bin; before=$(listing)
while IFS='|' read -r source output code message; do
  rc=0; build -D SRC="$source" -o "$output" 2> err || rc=$?
  [ "$rc" = "$code" ] || { echo "$source -o $output: exit $rc"; exit 1; }
  grep -qF "$message" err || { echo "$source -o $output: expected \"$message\", got: $(cat err)"; exit 1; }
  [ "$(listing)" = "$before" ] || { echo "$source -o $output left files: $(listing)"; exit 1; }
done <<'CASES'
a.txt|a.txt|4|would replace an input
a.txt|stub.exe|4|would replace an input
a.txt|lic.txt|4|would replace an input
a.txt|info.txt|4|would replace an input
a.txt|side.bmp|4|would replace an input
a.txt|un.exe|4|would replace an input
a.txt|./sub/../p.toml|4|would replace an input
a.txt|sub|4|is a folder
a.txt|/dev/null|4|not a regular file
a.txt|missing/setup.exe|4|cannot write in this folder
huge.bin|setup.exe|1|huge.bin" is 4294967296 bytes; a file in a package must be smaller than 4 GiB
CASES
[ "$(cat a.txt)" = hello ]
rm huge.bin

"$make_corpus" corpus 60
echo old > setup.exe
for signal in INT:130 HUP:129; do  # HUP: the terminal closed
  "$wrenly" build p.toml --stub stub.exe -D SRC=corpus -o setup.exe 2> err &
  pid=$!
  # Wait for the first progress so the signal lands inside the compression.
  until grep -q compressing err || ! kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  kill -"${signal%:*}" "$pid"
  rc=0; wait "$pid" || rc=$?
  [ "$rc" = "${signal#*:}" ] || { echo "SIG${signal%:*}: exit $rc: $(cat err)"; exit 1; }
  [ "$(cat setup.exe)" = old ] && [ -z "$(find . -name 'setup*' ! -name setup.exe)" ] ||
    { echo "SIG${signal%:*} left: $(listing)"; exit 1; }
done
# A reader gone after the first line only stops the printing.
{ "$wrenly" build p.toml --stub stub.exe -D SRC=corpus -o setup.exe -v 2>&1 && echo 0 > rc || echo $? > rc; } | head -1 > /dev/null
[ "$(cat rc)" = 0 ] && [ "$(cat setup.exe)" != old ] && [ -z "$(find . -name 'setup*' ! -name setup.exe)" ] ||
  { echo "piped build: exit $(cat rc), left: $(listing)"; exit 1; }
