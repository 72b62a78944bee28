#!/usr/bin/env bash
# /B<n>: the run after a restart. It loads the package from a copy that ends
# right after the DataArea size (the temporary-copy form), selects type n-1,
# starts what is marked for that moment and shows no window. A file that
# still holds its DataArea is incomplete there, and a type number the package
# does not have ends the run with -1 without a message.
. "$(dirname "$0")/../lib.sh"
wine_require

d=$(scratch_dir resumed_run)
build_setup one-type.toml "$d/setup.exe" -D COMPRESSION=zlib
read_layout "$d/setup.exe"
cut_copy "$d/setup.exe" "$d/copy.exe" "$data_start"
cut_copy "$d/setup.exe" "$d/copy-plus-one.exe" $((data_start + 1))
cut_copy "$d/setup.exe" "$d/copy-no-size.exe" "$size_field"
build_setup two-types.toml "$d/two.exe"
read_layout "$d/two.exe"
cut_copy "$d/two.exe" "$d/two-copy.exe" "$data_start"

S=";"
box='dialog caption="Wine Check Setup" text="The package is incomplete."|pressed OK|exit 255'
quiet() {  # name expected-exit file.exe options...
  check_drive "$1" "no-window|exit $2" start "$(winpath "$d/$3")" "${@:4}" $S expect-no-window 15 $S wait-exit 15
}
# A normal run: the package loaded and its wizard is shown.
wizard() {  # name file options...
  check_drive "$1" 'window class="WrenlyClass" caption="Wine Check Setup"|killed' \
    start "$(winpath "$d/$2")" "${@:3}" $S wait-window 15 $S kill
}

#     case                                         exit  setup program       option
quiet "/B1 on the temporary-copy form"             0     copy.exe            /B1
quiet "/b1, lower case"                            0     copy.exe            /b1
quiet "/B01 is type 1"                             0     copy.exe            /B01
quiet "/B2 on a two-type copy"                     0     two-copy.exe        /B2
quiet "/B9 names no type"                          255   copy.exe            /B9
quiet "/B2 on a one-type copy"                     255   copy.exe            /B2
quiet "/B3 on a two-type copy"                     255   two-copy.exe        /B3
quiet "/B1 without the DataArea size"              255   copy-no-size.exe    /B1
quiet "/N/B1, options without a space"            0     copy.exe            /N/B1
quiet "/B12 after /B1: the last one counts"        255   copy.exe            /B1 /B12
wizard "/B0 is a normal run"                             setup.exe           /B0
wizard "/B without digits is a normal run"               setup.exe           /B
check_drive "/B1 on an intact setup program" "$box" \
  start "$(winpath "$d/setup.exe")" /B1 $S wait-dialog 15 $S press OK $S wait-exit 15
check_drive "/B1 on a copy with one DataArea byte" "$box" \
  start "$(winpath "$d/copy-plus-one.exe")" /B1 $S wait-dialog 15 $S press OK $S wait-exit 15
# Parsing stops at the first word that is not an option: a normal run, which
# finds the copy's DataArea missing.
check_drive "/B1 after a word that is not an option" "$box" \
  start "$(winpath "$d/copy.exe")" setup.txt /B1 $S wait-dialog 15 $S press OK $S wait-exit 15

cases_done
