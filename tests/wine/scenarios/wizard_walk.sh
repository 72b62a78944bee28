#!/usr/bin/env bash
# The wizard walked with Next and Back over the whole default sequence: the
# pages follow each other in order, Back is never offered on the welcome
# page, the agreement's Next follows the radio choice, the destination page
# refuses an empty folder and makes a missing one only on Yes, and the walk
# ends in the installed files after the finish page's check box.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_walk)
mkdir -p "$d/data"
printf 'alpha\n' >"$d/data/alpha.txt"
printf 'beta\n' >"$d/data/beta.txt"
build_setup wizard.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/dest")"
wizard_steps "$(winpath "$d/setup.exe")"

check_drive "no Back on the welcome page; the agreement's Next follows the choice" \
  "$seen_welcome|state id=1045 visible=1 enabled=0 checked=0|state id=1 visible=1 enabled=1 checked=0|clicked id=1|page \"Information page\"|clicked id=1|page \"Agreement page\"|state id=1 visible=1 enabled=0 checked=0|clicked id=1002|state id=1 visible=1 enabled=1 checked=0|clicked id=1003|state id=1 visible=1 enabled=0 checked=0|state id=1045 visible=1 enabled=1 checked=0|killed" \
  "${to_welcome[@]}" $S state 1045 $S state 1 $S click 1 $S wait-page "Information page" 10 $S click 1 \
  $S wait-page "Agreement page" 10 $S state 1 $S click 1002 $S state 1 $S click 1003 $S state 1 $S state 1045 $S kill
# A folder made on No would not be asked about on the second Next.
dest=$(winpath "$d/dest") on_page='page "Destination page"'
check_drive "an empty folder is refused, a missing one made on Yes, not on No; Back walks every page back" \
  "$seen_destination|set-text id=1004 \"\"|clicked id=1|$(box "That folder cannot be used.")|pressed OK|$on_page|set-text id=1004 \"$dest\"|clicked id=1|$(box "Create the folder?")|pressed No|$on_page|clicked id=1|$(box "Create the folder?")|pressed Yes|page \"Ready page\"|clicked id=1045|$on_page|clicked id=1045|page \"Agreement page\"|state id=1003 visible=1 enabled=1 checked=1|clicked id=1045|page \"Information page\"|clicked id=1045|text id=1000 \"Welcome page\"|killed" \
  "${to_destination[@]}" $S set-text 1004 "" $S click 1 $S wait-dialog 10 $S press OK \
  $S wait-page "Destination page" 10 $S set-text 1004 "$dest" $S click 1 $S wait-dialog 10 $S press No \
  $S wait-page "Destination page" 10 $S click 1 $S wait-dialog 10 $S press Yes $S wait-page "Ready page" 10 \
  $S click 1045 $S wait-page "Destination page" 10 $S click 1045 $S wait-page "Agreement page" 10 $S state 1003 \
  $S click 1045 $S wait-page "Information page" 10 $S click 1045 $S wait-text 1000 "Welcome page" 10 $S kill
check_that "the folder was made" test -d "$d/dest"
rm -rf "$d/dest"
# The finish page's Finish is the only way on (Cancel is off) and its
# run-at-end check box follows the user's click.
check_drive "Next on every page installs and ends" \
  "$seen_ready|clicked id=1|text id=1000 \"All done.\"|state id=1015 visible=1 enabled=1 checked=1|state id=1 visible=1 enabled=1 checked=0|state id=2 visible=1 enabled=0 checked=0|clicked id=1015|state id=1015 visible=1 enabled=1 checked=0|clicked id=1|$closing|clicked id=2|exit 0" \
  "${to_ready[@]}" $S click 1 $S wait-text 1000 "All done." 30 $S state 1015 $S state 1 $S state 2 $S click 1015 \
  $S state 1015 $S click 1 $S wait-control 100 10 $S click 2 $S wait-exit 15
check_that "the files are installed" diff -r "$d/data" "$d/dest"

cases_done
