#!/usr/bin/env bash
# A package whose file ends before its DataArea does: the Installer shows the
# package's "incomplete" text (7/31) under its caption (7/0), and once the box
# is answered ends with -1. Bytes after the DataArea do not matter.
. "$(dirname "$0")/../lib.sh"
wine_require

d=$(scratch_dir incomplete)
build_setup one-type.toml "$d/setup.exe" -D COMPRESSION=zlib
build_setup two-types.toml "$d/two.exe"
read_layout "$d/setup.exe"
cut_copy "$d/setup.exe" "$d/half.exe" $((data_start + data_size / 2))
cut_copy "$d/setup.exe" "$d/empty.exe" "$data_start"
cut_copy "$d/setup.exe" "$d/one-short.exe" $((file_size - 1))
cp "$d/setup.exe" "$d/longer.exe"
patch_u32 "$d/longer.exe" "$size_field" $((data_size + 1))
cp "$d/setup.exe" "$d/trailing.exe"
printf 'bytes after the DataArea' >>"$d/trailing.exe"
read_layout "$d/two.exe"
cut_copy "$d/two.exe" "$d/two-half.exe" $((data_start + data_size / 2))

S=";"
box='dialog caption="Wine Check Setup" text="The package is incomplete."|pressed OK|exit 255'
box_two='dialog caption="Wine Check Two Setup" text="The package is incomplete."|pressed OK|exit 255'
shows() {  # name expected file.exe
  check_drive "$1" "$2" start "$(winpath "$d/$3")" $S wait-dialog 15 $S press OK $S wait-exit 15
}

#     case                                       expected     setup program
shows "cut in the middle of the DataArea"        "$box"       half.exe
shows "cut right after the DataArea size"        "$box"       empty.exe
shows "one byte short"                           "$box"       one-short.exe
shows "declared one byte longer than it is"      "$box"       longer.exe
shows "two types: texts of the initial type"     "$box_two"   two-half.exe
check_drive "bytes after the DataArea" 'window class="WrenlyClass" caption="Wine Check Setup"|killed' \
  start "$(winpath "$d/trailing.exe")" $S wait-window 15 $S kill

cases_done
