#!/usr/bin/env bash
# A DataArea split over the setup program and a volume file: an entry that
# starts in the setup program and ends in .D01 is installed whole. Run from a
# temporary copy (/DEL) without .D01, the Installer asks for the disk (7/28),
# and OK once the volume is back goes on. The other answers are proven by the
# native tables.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir engine_volumes)
head -c 100000 /dev/urandom >"$d/big.bin"
cp "$WRENLY_WINE_PROJECTS/engine/beta.txt" "$d/after.txt"
project() {  # volume-size
  sed "s/^volume_size = .*/volume_size = $1/" "$WRENLY_WINE_PROJECTS/engine-volumes.toml" >"$d/volumes.toml"
  build_setup "$d/volumes.toml" "$d/setup.exe" -D DATA="$d" -D FOLDER="$(winpath "$d/dest")"
}
# The size that ends the setup program 30,000 bytes into the big entry.
project 0
read_layout "$d/setup.exe"
rm -f "$d"/setup.*
project $((data_start + 30000))
[ -f "$d/setup.D01" ] || fail "the build made no .D01 ($(ls "$d"))"
[ ! -f "$d/setup.D02" ] || fail "the build made more than one volume file"

setup_install "" "$d/setup.exe"
expect "both volumes: exit" "0" "$run_exit"
expect "both volumes: entry across the split" "same" "$(cmp -s "$d/big.bin" "$d/dest/big.bin" && echo same)"
expect "both volumes: entry inside .D01" "same" "$(cmp -s "$d/after.txt" "$d/dest/after.txt" && echo same)"

rm -rf "$d/dest"
mv "$d/setup.D01" "$d/away.D01"
# The volume comes back while the prompt is up; OK then reads it.
drive_until 'dialog caption="Engine Volumes Setup" text="Disk 2, please"' start "$(winpath "$d/setup.exe")" /DEL \
  $S wait-control 1000 20 $S click 1 $S wait-dialog 20 $S wait-file "$held_win" 60 $S press OK \
  $S wait-control 1046 60 $S click 1 $S wait-control 100 10 $S click 2 $S wait-exit 30
mv "$d/away.D01" "$d/setup.D01"
drive_resume
expect "disk prompt, volume back: exit" "0" "$(sed -n 's/^exit //p' <<<"$run")"
expect "disk prompt, volume back: entry whole" "same" "$(cmp -s "$d/big.bin" "$d/dest/big.bin" && echo same)"
expect "disk prompt, volume back: entry after it" "same" "$(cmp -s "$d/after.txt" "$d/dest/after.txt" && echo same)"

cases_done
