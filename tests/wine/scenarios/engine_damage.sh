#!/usr/bin/env bash
# Damaged data never replaces a user's file: a method byte of 3 ends the run
# with 31, the existing file unchanged and no temporary file left. Data that
# decodes but fails its checksum is asked about (7/32, the file named) and
# kept out on Enter (No is the default); /R puts it in place without
# asking. The other decisions are proven by the native tables.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir engine_damage)
dest=$d/dest
head -c 20000 /dev/urandom >"$d/victim.bin"
build_setup engine-damage.toml "$d/setup.exe" -D DATA="$d" -D FOLDER="$(winpath "$dest")"
read_layout "$d/setup.exe"
# The entry's place in the DataArea, as the inspector reports it.
entry=$("$WRENLY_TOOL" inspect "$d/setup.exe" | sed -n 's/.*size 20000, stored [0-9]*, at \([0-9]*\),.*/\1/p')
[ -n "$entry" ] || fail "the inspector lists no entry of 20000 bytes"
method_at=$((data_start + entry))

cp "$d/setup.exe" "$d/method.exe"
patch_bytes "$d/method.exe" "$method_at" "03"
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
install method-3                   method.exe    ""       31      existing
install checksum-declined          checksum.exe  Enter    21      existing
expect "the question names the file" "Check failed: $(winpath "$dest/victim.bin")" "$(dialog_texts)"
install checksum-with-R            checksum.exe  ""       0       package            /R

cases_done
