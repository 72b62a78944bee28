#!/usr/bin/env bash
# Install types that share their stored data install whole, in one file and
# in volumes; stored blocks (alone, for bzip2, beside deflated data in one
# stream) install byte for byte. Which entries share: the native tables.
# Offered the folder of Installer images, the build takes the zlib-only one
# (the package holds nothing else), and that image installs the same.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir engine_shared)
dest=$d/dest
cp "$WRENLY_WINE_PROJECTS/engine/alpha.txt" "$d/alpha.txt"
head -c 100000 /dev/urandom >"$d/noise.bin"
{ head -c 1048576 /dev/urandom; seq 1 60000; } >"$d/mixed.bin"
project() {  # volume-size output
  sed "s/^volume_size = .*/volume_size = $1/" "$WRENLY_WINE_PROJECTS/engine-shared.toml" >"$d/shared.toml"
  build_setup "$d/shared.toml" "$d/$2" -D DATA="$d" -D FOLDER="$(winpath "$d/default")"
}
project 0 one.exe
log=$("$WRENLY_TOOL" build "$d/shared.toml" -o "$d/zlib-only.exe" --stub "$(dirname "$(stub_exe)")" \
  --uninstaller "$(uninstaller_exe)" -v -D DATA="$d" -D FOLDER="$(winpath "$d/default")" 2>&1) ||
  fail "the build from the folder of images failed: $log"
expect "the build takes the zlib-only image" "Installer image wrenly-stub-zlib.exe: zlib; the package uses zlib" \
  "$(grep -o 'Installer image .*' <<<"$log")"
read_layout "$d/one.exe"
# The first file ends inside noise.bin, which alpha-copy.txt follows in "Full".
project $((data_start + 40000)) volumes.exe
[ -f "$d/volumes.D02" ] || fail "the build made fewer than two volume files ($(ls "$d"))"

# What each type must install: every file and the source it is a copy of.
want=("" "alpha-copy.txt=alpha.txt docs/alpha.txt=alpha.txt mixed.bin=mixed.bin noise.bin=noise.bin"
  "mixed.bin=mixed.bin noise-bzip2.bin=noise.bin noise.bin=noise.bin"
  "alpha-copy.txt=alpha.txt docs/alpha.txt=alpha.txt noise.bin=noise.bin")
for setup in one.exe volumes.exe zlib-only.exe; do
  for type in 1 2 3; do
    rm -rf "$dest"
    quietly "$d/$setup" /Q "/I$type" "/T$(winpath "$dest")"
    got=$({ find "$dest" -type f 2>/dev/null || true; } | sed "s|^$dest/||" | LC_ALL=C sort | while read -r file; do
      source=$(tr ' ' '\n' <<<"${want[type]}" | sed -n "s|^$file=||p")
      cmp -s "$d/${source:-none}" "$dest/$file" && echo "$file=$source" || echo "$file=other"
    done | paste -sd ' ')
    expect "$setup, type $type: no window, exit 0, every file byte for byte and nothing else" \
      "no-window|exit 0|${want[type]}" "$(grep -E '^(no-window|window|exit)' <<<"$run" | paste -sd '|')|$got"
  done
done

cases_done
