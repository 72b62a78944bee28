#!/usr/bin/env bash
# The installation as the wizard drives it: Cancel in the middle of a long
# one stops it after a question and keeps what is installed, and the user's
# file the entry being read would have replaced; a damaged package is
# reported on the finish page; without a progress page the ready page's Next
# installs before the finish page, and a package that needs a restart asks
# the restart question after the wizard, where "later" ends the run with -2.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_install)
mkdir -p "$d/data" "$d/dest" "$d/restart"
printf 'first\n' >"$d/data/a-first.txt"
head -c 100000000 /dev/urandom >"$d/data/m-large.bin"
printf 'last\n' >"$d/data/z-last.txt"
build_setup wizard.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/dest")"
wizard_steps "$(winpath "$d/setup.exe")"

# Cancel while the large entry is being written under its temporary name
# (the setup program held still from the look to the click), so the first
# is in place; the progress page shows the file, shortened; the large
# one would replace a file of the user's. The folder exists, so the
# destination page asks nothing.
printf "the user's own file" >"$d/dest/m-large.bin"
large='C:\wt\...\m-large.bin' partial="$(winpath "$d/dest")\\m-large.\$\$A"
check_drive "Cancel during the installation, Yes" \
  "$seen_destination|clicked id=1|page \"Ready page\"|clicked id=1|file \"$partial\"|clicked id=2|$(box "Stop the installation half-way?")|text id=1008 \"$large\"|pressed Yes|$(box "The wizard check was cancelled.")|pressed OK|$closing|clicked id=2|exit 1602" \
  "${to_destination[@]}" $S click 1 $S wait-page "Ready page" 10 $S click 1 $S click-while-file 2 "$partial" 20 \
  $S wait-dialog 10 $S text 1008 $S press Yes $S wait-dialog 10 $S press OK $S wait-control 100 10 $S click 2 $S wait-exit 15
check_that "the first file stays installed" test -f "$d/dest/a-first.txt"
check_that "the user's file is kept" test "$(cat "$d/dest/m-large.bin")" = "the user's own file"
check_that "no later entry is installed" test ! -e "$d/dest/z-last.txt"
check_that "no temporary file is left" test -z "$(temp_files "$d/dest")"
rm -rf "$d/dest"

# The same package with one text entry, its stream broken in the middle.
rm -rf "$d/data" && mkdir -p "$d/data"
for _ in $(seq 2000); do echo "a line of text that compresses well"; done >"$d/data/text.txt"
build_setup wizard.toml "$d/broken.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/dest")"
read_layout "$d/broken.exe"
patch_bytes "$d/broken.exe" $((data_start + data_size / 2)) "ff ff ff ff ff ff ff ff 00 00 00 00 ff ff ff ff"
wizard_steps "$(winpath "$d/broken.exe")"
check_drive "a damaged entry is reported on the finish page" \
  "$seen_ready|clicked id=1|text id=1000 \"Failed: The package is incomplete.\"|state id=1001 visible=0 enabled=1 checked=0|state id=1015 visible=0 enabled=1 checked=1|clicked id=1|$closing|clicked id=2|exit 31" \
  "${to_ready[@]}" $S click 1 $S wait-text 1000 "Failed: The package is incomplete." 30 $S state 1001 \
  $S state 1015 $S click 1 $S wait-control 100 10 $S click 2 $S wait-exit 15

build_setup wizard-restart.toml "$d/restart.exe" -D FOLDER="$(winpath "$d/restart")"
check_drive "no progress page: Next on the ready page installs; a restart is asked for, Later ends with -2" \
  "text id=1000 \"Welcome page\"|clicked id=1|page \"Ready page\"|clicked id=1|text id=1000 \"All done.\"|state id=1015 visible=0 enabled=1 checked=1|clicked id=1|$closing|clicked id=2|dialog caption=\"Restart Check Setup\" text=\"Restart the computer now?\"|pressed Later|exit -2" \
  start "$(winpath "$d/restart.exe")" $S wait-text 1000 "Welcome page" 15 $S click 1 \
  $S wait-page "Ready page" 10 $S click 1 $S wait-text 1000 "All done." 30 $S state 1015 $S click 1 \
  $S wait-control 100 10 $S click 2 $S wait-dialog 10 $S press Later $S wait-exit 15
check_that "the run installed its file" diff "$WRENLY_WINE_PROJECTS/payload.txt" "$d/restart/payload.txt"

cases_done
