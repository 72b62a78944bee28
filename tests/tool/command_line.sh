#!/usr/bin/env bash
# The command line of wrenly: exit codes (a damaged package's JSON still
# printed), extract's type names and unwritable folder, the project `new`
# writes (it builds, without warnings), warnings with file:line and
# --warnings-as-errors, -q and -v, the summary line, and plain progress lines
# (never a carriage return) when stderr is a file.
set -euo pipefail
wrenly=$1 work=$2
rm -rf "$work"; mkdir -p "$work"; cd "$work"
cp "$(dirname "$wrenly")/wrenly-stub.exe" stub.exe
echo hello > a.txt; : > empty.txt; head -c 12000000 /dev/zero > big.bin
printf '[product]\nname = "P"\n[[files]]\nsource = "${SRC}"\n' > p.toml
printf '[product]\nname = "P"\nregister_uninstall = true\n[[files]]\nsource = "empty.txt"\n' > w.toml
printf '[product]\nname = "P"\n[[install_type]]\n[[install_type]]\n[[files]]\nsource = "a.txt"\n' > m.toml
printf '[product]\nname = "P"\n[[install_type]]\nname = "Games only"\n[[files]]\nsource = "a.txt"\n' > t.toml
# An LZMA package behind the image the tool picks, and behind one without LZMA.
seq 20000 > n.txt
printf '[product]\nname = "P"\n[setup]\ncompression = "lzma"\n[[files]]\nsource = "n.txt"\n' > l.toml
"$wrenly" build l.toml -o l.exe -q
"$wrenly" inspect --json l.exe > l.json  # not piped into grep -m1, which may end the tool by SIGPIPE
at=$(grep -m1 '"signature_offset"' l.json | grep -o '[0-9]*')
{ cat "$(dirname "$wrenly")/wrenly-stub-zlib.exe"; tail -c +$((at + 1)) l.exe; } > swapped.exe
size='[0-9.]+ (B|kB|MB)'
while IFS='|' read -r args code pattern; do
  rc=0; eval "\"\$wrenly\" $args" > out 2>&1 || rc=$?
  [ "$rc" = "$code" ] || { echo "$args: exit $rc: $(cat out)"; exit 1; }
  { [ -z "$pattern" ] && [ ! -s out ]; } || grep -qE -- "$pattern" out || { echo "$args: expected /$pattern/, got: $(cat out)"; exit 1; }
  if grep -q $'\r' out; then echo "$args: a carriage return in a log"; exit 1; fi
done <<CASES
--version|0|^wrenly [0-9]+\.[0-9]+\.[0-9]+$
--help|0|130/143
build p.toml --bogus|2|bogus
build p.toml -q -v|2|excludes
build p.toml --stub stub.exe -D SRC=a.txt -o ''|2|-o needs a file name
build .|1|^wrenly: \.: the project file is a folder$
build p.toml --stub stub.exe -D 'SRC=*.dll' -o g.exe|1|^wrenly: p\.toml:4: no file matches "\*\.dll"$
build p.toml --stub stub.exe -D SRC=nothere -D SRC=a.txt -o d.exe -q|0|^-D: warning: SRC is given more than once; the last, SRC=a\.txt, counts$
inspect a.txt|3|a.txt
inspect --json a.txt|3|"damaged package: no package signature
inspect l.exe|0|^stub decoders: zlib lzma$
inspect swapped.exe|3|^inspect: swapped\.exe: 1 entry \(install type 1, entry 0 "n\.txt"\) is stored with lzma, which the Installer image cannot decode \(it holds zlib\)$
build p.toml --stub stub.exe -D SRC=a.txt -o s.exe|0|^wrote s\.exe: 1 file, 6 B in, $size out \(payload [0-9]+ B, [0-9]+ %; Installer $size, stub\.exe\), [0-9.]+ s, $size/s$
build m.toml --stub stub.exe -o m.exe|0|^wrote m\.exe: 1 file, 6 B in, .* \(payload [0-9]+ B, [0-9]+ %, 1 entry sharing a copy; 
build p.toml --stub stub.exe -D SRC=a.txt -o v.exe -v|0|^  a\.txt: 6 -> [0-9]+ bytes, zlib level 6$
build w.toml --stub stub.exe -o w.exe|0|^w\.toml:1: warning: register_uninstall is set
build w.toml --stub stub.exe -o w.exe|0|^w\.toml:4: warning: source ".*empty\.txt" is empty
build w.toml --stub stub.exe -o x.exe -W|1|2 warnings and --warnings-as-errors
build p.toml --stub stub.exe -D SRC=a.txt -o q.exe -q|0|
build t.toml --stub stub.exe -o t.exe -q|0|
extract -t "Games only" t.exe games|0|^1 file written$
extract -t 9 t.exe games|2|^extract: t\.exe: no install type 9 \(the package has 1\)$
new fresh|0|^build it with: wrenly build fresh/project\.toml$
new fresh|2|^wrenly: new: fresh/project\.toml already exists; nothing was written$
build fresh/project.toml --stub stub.exe -W -q|0|
extract t.exe a.txt/out|4|^extract: t\.exe: cannot create the folder a\.txt/out: not a directory; nothing was written$
CASES
[ ! -e x.exe ] || { echo "-W left x.exe"; exit 1; }
"$wrenly" build p.toml --stub stub.exe -D SRC=big.bin -o b.exe 2> out
# Twelve pieces of 1 MiB: one line at each tenth, never one per piece.
[ "$(grep -c '^compressing .* %' out)" = 10 ] && grep -qE '^compressing +100 % \(12\.0 MB of 12\.0 MB\)' out &&
  ! grep -q $'\r' out || { echo "not one progress line per tenth: $(cat out)"; exit 1; }
