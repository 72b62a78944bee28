#!/usr/bin/env bash
# Outputs the build must refuse before writing anything, and a build stopped by
# SIGINT while compressing: no new file, an earlier setup.exe keeps its bytes.
set -euo pipefail
wrenly=$1 make_corpus=$2 work=$3
rm -rf "$work"; mkdir -p "$work/p/sub"
cd "$work/p"
head -c 3000 /dev/zero | tr '\0' S > stub.exe
echo hello > a.txt
printf '[product]\nname = "P"\n[[files]]\nsource = "${SRC}"\n' > p.toml
build() { "$wrenly" build p.toml --stub stub.exe "$@"; }
listing() { find . | sort; }

: > err; before=$(listing)
while IFS='|' read -r output message; do
  rc=0; build -D SRC=a.txt -o "$output" 2> err || rc=$?
  [ "$rc" = 1 ] || { echo "-o $output: exit $rc"; exit 1; }
  grep -qF "$message" err || { echo "-o $output: expected \"$message\", got: $(cat err)"; exit 1; }
  [ "$(listing)" = "$before" ] || { echo "-o $output left files: $(listing)"; exit 1; }
done <<'CASES'
a.txt|would replace an input
stub.exe|would replace an input
./sub/../p.toml|would replace an input
sub|is a folder
/dev/null|not a regular file
missing/setup.exe|cannot write in this folder
CASES
[ "$(cat a.txt)" = hello ]

"$make_corpus" corpus 60
echo old > setup.exe
"$wrenly" build p.toml --stub stub.exe -D SRC=corpus -o setup.exe 2> err &
pid=$!
# Wait for the first progress so the signal lands inside the compression.
until grep -q compressing err || ! kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
kill -INT "$pid"
rc=0; wait "$pid" || rc=$?
[ "$rc" = 130 ] || { echo "interrupted build: exit $rc: $(cat err)"; exit 1; }
[ "$(cat setup.exe)" = old ]
[ -z "$(find . -name 'setup*' ! -name setup.exe)" ] || { echo "left: $(listing)"; exit 1; }
