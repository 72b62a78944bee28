#!/usr/bin/env bash
# A DataArea split over the setup program and a volume file: an entry that
# starts in the setup program and ends in .D01 is installed whole. Run from a
# temporary copy (/DEL) without .D01, the Installer asks for the disk (7/28),
# and OK once the volume is back goes on. The other answers are proven by the
# native tables.
. "$(dirname "$0")/../engine_lib.sh"
engine_require
[ -x "$WRENLY_TOOL" ] || skip "the wrenly tool is not built"

d=$(scratch_dir engine_volumes)
head -c 100000 /dev/urandom >"$d/big.bin"
cp "$WRENLY_WINE_PROJECTS/engine/beta.txt" "$d/after.txt"
project() {  # volume-size
  cat >"$d/volumes.toml" <<TOML
[product]
name = "Engine Volumes"
[texts]
create_folder = ""
"7/28" = "Disk %d, please"
[setup]
volume_size = $1
[[files]]
source = "big.bin"
[[files]]
source = "after.txt"
TOML
  "$WRENLY_TOOL" build "$d/volumes.toml" -o "$d/setup.exe" --stub "$(stub_exe)" -q >/dev/null 2>&1 ||
    fail "wrenly build of the volume project failed"
}
# The size that ends the setup program 30,000 bytes into the big entry.
project 0
read_layout "$d/setup.exe"
rm -f "$d"/setup.*
project $((data_start + 30000))
[ -f "$d/setup.D01" ] || fail "the build made no .D01 ($(ls "$d"))"
[ ! -f "$d/setup.D02" ] || fail "the build made more than one volume file"

engine_install "" "$d/setup.exe" --folder "$(winpath "$d/whole")"
expect "both volumes: result" "0" "$(report_value result)"
expect "both volumes: entry across the split" "same" "$(cmp -s "$d/big.bin" "$d/whole/big.bin" && echo same)"
expect "both volumes: entry inside .D01" "same" "$(cmp -s "$d/after.txt" "$d/whole/after.txt" && echo same)"

mv "$d/setup.D01" "$d/away.D01"
# The volume comes back while the prompt is up; OK then reads it.
report=$d/prompt.report back=$d/volume-back
rm -f "$report" "$d/prompt.lines" "$back"
drive start "$(engine_exe)" --report "$(winpath "$report")" --folder "$(winpath "$d/prompted")" \
  "$(winpath "$d/setup.exe")" /DEL ";" wait-dialog 20 ";" wait-file "$(winpath "$back")" 60 ";" press OK \
  ";" wait-exit 60 >"$d/prompt.lines" 2>&1 &
driver=$!
for _ in $(seq 200); do
  grep -q '^dialog' "$d/prompt.lines" 2>/dev/null && break
  sleep 0.1
done
mv "$d/away.D01" "$d/setup.D01"
touch "$back"
wait "$driver" || true
engine_report=$(tr -d '\r' <"$report" 2>/dev/null || true)
engine_driver=$(tr -d '\r' <"$d/prompt.lines")
expect "disk prompt, volume back: question" "Disk 2, please" "$(dialog_texts)"
expect "disk prompt, volume back: result" "0" "$(report_value result)"
expect "disk prompt, volume back: entry whole" "same" "$(cmp -s "$d/big.bin" "$d/prompted/big.bin" && echo same)"
expect "disk prompt, volume back: entry after it" "same" "$(cmp -s "$d/after.txt" "$d/prompted/after.txt" && echo same)"

cases_done
