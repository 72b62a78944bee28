#!/usr/bin/env bash
# The finish page after a success: the run-at-end check box follows the
# user's click; a package that needs a restart asks the restart question
# after the wizard instead, and "later" ends the run with -2.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_finish)
mkdir -p "$d/data" "$d/dest" "$d/restart"
printf 'alpha\n' >"$d/data/alpha.txt"
build_setup wizard.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/dest")"
wizard_steps "$(winpath "$d/setup.exe")"
to_finish=("${to_agreement[@]}" $S click 1002 $S click 1 $S wait-page "Destination page" 10
           $S click 1 $S wait-page "Ready page" 10 $S click 1 $S wait-text 1000 "All done." 30)
seen_finish="$seen_destination|clicked id=1|page \"Ready page\"|clicked id=1|text id=1000 \"All done.\""

check_drive "the run-at-end check box follows the click" \
  "$seen_finish|state id=1015 visible=1 enabled=1 checked=1|state id=1 visible=1 enabled=1 checked=0|state id=2 visible=1 enabled=0 checked=0|clicked id=1015|state id=1015 visible=1 enabled=1 checked=0|clicked id=1|$closing|clicked id=2|exit 0" \
  "${to_finish[@]}" $S state 1015 $S state 1 $S state 2 $S click 1015 $S state 1015 $S click 1 \
  $S wait-control 100 10 $S click 2 $S wait-exit 15

build_setup wizard-restart.toml "$d/restart.exe" -D FOLDER="$(winpath "$d/restart")"
restart_box='dialog caption="Restart Check Setup" text="Restart the computer now?"'
check_drive "a restart is asked for; Later ends with -2" \
  "text id=1000 \"Welcome page\"|clicked id=1|text id=1000 \"All done.\"|state id=1015 visible=0 enabled=1 checked=1|clicked id=1|$closing|clicked id=2|$restart_box|pressed Later|exit 254" \
  start "$(winpath "$d/restart.exe")" $S wait-text 1000 "Welcome page" 15 $S click 1 \
  $S wait-text 1000 "All done." 30 $S state 1015 $S click 1 $S wait-control 100 10 $S click 2 \
  $S wait-dialog 10 $S press Later $S wait-exit 15

cases_done
