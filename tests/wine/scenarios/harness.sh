#!/usr/bin/env bash
# The harness checks itself on a stand-in program under test: exit codes as
# the shell sees them, message boxes read and answered by caption or id, and
# the driver's own failures when a step does not see what it expects.
. "$(dirname "$0")/../lib.sh"
wine_require

sample=$(winpath "$(win_dir)/tests/wine/driver/wrenly-sample-target.exe")
S=";"

#           name                      expected lines                                   steps
check_drive "exit 0, no window"       "no-window|exit 0" \
  start "$sample" exit 0 $S expect-no-window 10 $S wait-exit 10
check_drive "exit 7"                  "no-window|exit 7" \
  start "$sample" exit 7 $S expect-no-window 10 $S wait-exit 10
check_drive "exit -1 shows as 255"    "no-window|exit 255" \
  start "$sample" exit -1 $S expect-no-window 10 $S wait-exit 10
check_drive "box answered OK"         'dialog caption="Sample Cap" text="Some & text"|pressed OK|exit 1' \
  start "$sample" box "Sample Cap" "Some & text" $S wait-dialog 10 $S press OK $S wait-exit 10
check_drive "caption case ignored"    'dialog caption="C" text="T"|pressed cancel|exit 2' \
  start "$sample" box C T okcancel $S wait-dialog 10 $S press cancel $S wait-exit 10
check_drive "mnemonic '&' ignored"    'dialog caption="C" text="T"|pressed No|exit 7' \
  start "$sample" box C T yesno $S wait-dialog 10 $S press No $S wait-exit 10
check_drive "pressed by id"           'dialog caption="C" text="T"|pressed id=6|exit 6' \
  start "$sample" box C T yesno $S wait-dialog 10 $S press-id 6 $S wait-exit 10

# Steps that do not see what they expect fail the driver run; a target left
# running is ended.
check_drive_status 1 "a box where none may be" 'window class="#32770" caption="C"|killed' \
  start "$sample" box C T $S expect-no-window 10 $S wait-exit 10
check_drive_status 1 "no box where one is due" "no-dialog exit 0" \
  start "$sample" exit 0 $S wait-dialog 10
check_drive_status 1 "no such button"          'dialog caption="C" text="T"|no-button "Retry"|killed' \
  start "$sample" box C T $S wait-dialog 10 $S press Retry
check_drive_status 1 "still running at the end" 'dialog caption="C" text="T"|killed' \
  start "$sample" box C T $S wait-dialog 10
check_drive_status 2 "unknown step"            "" frobnicate

# dump shows every control of the box with class, id and text.
dump=$(drive start "$sample" box C T okcancel $S wait-dialog 10 $S dump $S press OK $S wait-exit 10 | tr -d '\r')
for want in 'window class="#32770" caption="C"' '  child id=1 class="Button" text="OK"' \
            '  child id=2 class="Button" text="Cancel"'; do
  cases_run=$((cases_run + 1))
  if grep -qxF -- "$want" <<<"$dump"; then echo "ok   dump: $want"; else
    cases_failed=$((cases_failed + 1)); echo "FAIL dump lacks: $want"; printf '%s\n' "$dump"; fi
done

cases_done
