#!/usr/bin/env bash
# Damaged data never replaces a user's file: a method byte of 3, or a zlib
# or LZMA stream that cannot be decoded, ends the run with 31, the existing
# file unchanged and no temporary file left. Data that
# decodes but fails its checksum is asked about (7/32, the file named) and
# kept out on Enter (No is the default); /R puts it in place without
# asking. The other decisions are proven by the native tables.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir engine_damage)
dest=$d/dest
# Half noise, half text: both methods really compress the start of it.
{ head -c 10000 < <(yes "wrenly victim line"); head -c 10000 /dev/urandom; } >"$d/victim.bin"
method_at() {  # setup.exe: the offset of the entry's method byte, as the inspector reports it
  read_layout "$1"
  local entry
  entry=$("$WRENLY_TOOL" inspect "$1" | sed -n 's/.*size 20000, stored [0-9]*, at \([0-9]*\),.*/\1/p')
  [ -n "$entry" ] || fail "the inspector lists no entry of 20000 bytes in $1"
  echo $((data_start + entry))
}
for method in zlib lzma; do
  build_setup engine-damage.toml "$d/$method.exe" -D DATA="$d" -D FOLDER="$(winpath "$dest")" -D COMPRESSION=$method
done
cp "$d/zlib.exe" "$d/setup.exe"
cp "$d/zlib.exe" "$d/method.exe"
patch_bytes "$d/method.exe" "$(method_at "$d/method.exe")" "03"
# A zlib header whose check fails; an LZMA2 control byte no chunk has.
cp "$d/zlib.exe" "$d/zlib-stream.exe"
patch_bytes "$d/zlib-stream.exe" $(($(method_at "$d/zlib-stream.exe") + 2)) "00"
cp "$d/lzma.exe" "$d/lzma-stream.exe"
patch_bytes "$d/lzma-stream.exe" $(($(method_at "$d/lzma-stream.exe") + 3)) "7f"
"$WRENLY_HOSTILE_PACKAGE" "$d/setup.exe" "$d/checksum.exe" wrong-checksum

existing="an older file the user keeps"
install() {  # name setup answers expected-exit expected-content [installer options...]
  local name=$1 setup=$2 answers=$3 result=$4 content=$5
  shift 5
  rm -rf "$dest" && mkdir -p "$dest"
  printf '%s' "$existing" >"$dest/victim.bin"
  setup_install "$answers" "$d/$setup" "$@"
  expect "$name: exit" "$result" "$run_exit"
  expect "$name: destination holds" "$content" "$(holds "$dest/victim.bin" "$d/victim.bin" "$existing")"
  expect "$name: no temporary file" "" "$(temp_files "$dest")"
}

#       case                       package       answers  exit    destination holds  options
install intact                     setup.exe     ""       0       package
install intact-lzma                lzma.exe      ""       0       package
install method-3                   method.exe    ""       31      existing
install zlib-stream-damaged        zlib-stream.exe  ""    31      existing
install lzma-stream-damaged        lzma-stream.exe  ""    31      existing
install checksum-declined          checksum.exe  Enter    21      existing
expect "the question names the file" "Check failed: $(winpath "$dest/victim.bin")" "$(dialog_texts)"
install checksum-with-R            checksum.exe  ""       0       package            /R

cases_done
