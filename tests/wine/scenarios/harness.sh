#!/usr/bin/env bash
# The harness checks itself on a stand-in program under test: exit codes as
# the shell sees them, message boxes read and answered by caption or id,
# controls of a form read, set and clicked by id as the wizard's pages will
# be, screenshots and processor use, and the driver's own failures when a
# step does not see what it expects.
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

# The form: the edit box shown means the form is up; ids as on the wizard's pages.
form=(start "$sample" form "$S" wait-control 1004 10 "$S")
up='control id=1004 class="Edit" text=""'
done_40=(click 2 "$S" wait-exit 10)

#           name                        expected lines                                  steps
check_drive "Done as it stands"         "$up|clicked id=2|exit 40" "${form[@]}" "${done_40[@]}"
check_drive "rich edit and button text" "$up"'|text id=1000 "Line one\nLine two"|text id=1 "Next"|clicked id=2|exit 40' \
  "${form[@]}" text 1000 $S expect-text 1 Next $S "${done_40[@]}"
check_drive "edit box set, EN_CHANGE seen" "$up"'|set-text id=1004 "C:\x"|clicked id=2|exit 42' \
  "${form[@]}" set-text 1004 'C:\x' $S "${done_40[@]}"
check_drive "check box ticked by a click" "$up|clicked id=1015|state id=1015 visible=1 enabled=1 checked=1|clicked id=2|exit 41" \
  "${form[@]}" click 1015 $S state 1015 $S "${done_40[@]}"
check_drive "check box ticked and cleared" "$up|clicked id=1015|clicked id=1015|clicked id=2|exit 40" \
  "${form[@]}" click 1015 $S click 1015 $S "${done_40[@]}"
check_drive "radio button enables Next" \
  "$up|state id=1 visible=1 enabled=0 checked=0|clicked id=1002|state id=1002 visible=1 enabled=1 checked=1|state id=1 visible=1 enabled=1 checked=0|clicked id=2|exit 40" \
  "${form[@]}" state 1 $S click 1002 $S state 1002 $S state 1 $S "${done_40[@]}"
check_drive "the other radio button disables it" \
  "$up|clicked id=1002|clicked id=1003|state id=1002 visible=1 enabled=1 checked=0|state id=1 visible=1 enabled=0 checked=0|clicked id=2|exit 40" \
  "${form[@]}" click 1002 $S click 1003 $S state 1002 $S state 1 $S "${done_40[@]}"
check_drive "Next shows a counted progress" \
  "$up|state id=1010 visible=0 enabled=1 checked=0|clicked id=1002|clicked id=1|control id=1008 class=\"Static\" text=\"Copying\"|text id=1010 \"100%\"|clicked id=2|exit 40" \
  "${form[@]}" state 1010 $S click 1002 $S click 1 $S wait-control 1008 5 $S wait-text 1010 100% 10 $S "${done_40[@]}"
check_drive "a click that opens a box"  "$up"'|clicked id=3|dialog caption="Ask" text="Sure?"|clicked id=6|exit 60' \
  "${form[@]}" click 3 $S wait-dialog 5 $S click 6 $S wait-exit 10
check_drive "closed as by its close box" "$up"'|closed class="WrenlyClass"|exit 50' \
  "${form[@]}" close $S wait-exit 10
check_drive "caption by window class"   "$up"'|caption class="WrenlyClass" "Sample form"|clicked id=2|exit 40' \
  "${form[@]}" caption WrenlyClass $S "${done_40[@]}"

check_drive_status 1 "text differs"          "$up"'|text id=1 "Next"|killed' "${form[@]}" expect-text 1 Back
check_drive_status 1 "text never comes"      "$up"'|timeout text id=1 "Next"|killed' "${form[@]}" wait-text 1 Back 0.5
check_drive_status 1 "no such control"       "$up|no-control id=4242|killed" "${form[@]}" text 4242
check_drive_status 1 "disabled Next refused" "$up|disabled id=1|killed" "${form[@]}" click 1
check_drive_status 1 "owner of a box refused" "$up"'|clicked id=3|dialog caption="Ask" text="Sure?"|disabled id=2|killed' \
  "${form[@]}" click 3 $S wait-dialog 5 $S click 2
check_drive_status 1 "no window of the class" "$up"'|no-window class="#32770"|killed' "${form[@]}" caption '#32770'

# The whole screen (setup.sh's Xvfb is 1024x768) as a BMP, and the PNG made of it.
shot=$(screenshot harness-form)
check_drive "screenshot of the form"    "$up|screenshot $shot 1024x768|clicked id=2|exit 40" \
  "${form[@]}" screenshot "$shot" $S "${done_40[@]}"
png_size() {  # file: the width and height of its IHDR chunk
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
png=$WRENLY_ARTEFACTS/harness-form.png
magic=$(head -c8 "$png" 2>/dev/null | od -An -tx1 | tr -d ' \n')
check_that "screenshot became a 1024x768 PNG" [ "$magic $(png_size "$png" 2>/dev/null)" = "89504e470d0a1a0a 1024x768" ]

# Processor use: a form waiting for input next to nothing, a busy loop a good
# part of a core (GetProcessTimes alone reads 0 for another process under Wine).
percent() {  # steps...: the figure of the driver's cpu line
  { drive "$@" || true; } | tr -d '\r' | sed -n 's/^cpu percent=\([0-9]*\.[0-9][0-9]\)$/\1/p'
}
idle=$(percent "${form[@]}" cpu 1 $S "${done_40[@]}")
busy=$(percent start "$sample" busy 3 $S cpu 1 $S wait-exit 10)
check_that "idle form under 5% ($idle)"  awk -v p="$idle" 'BEGIN { exit !(p != "" && p < 5) }'
check_that "busy loop over 20% ($busy)" awk -v p="$busy" 'BEGIN { exit !(p != "" && p > 20) }'

cases_done
