#!/usr/bin/env bash
# Cancel on every page before the installation, answered No (the page stays)
# and Yes (the note, then the closing page, and nothing installed); closing
# the main window acts as Cancel; a second start raises the first instance.
# A package that shows one page alone installs nothing, and Cancel ends the
# run at once without a question.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_cancel)
mkdir -p "$d/data"
printf 'alpha\n' >"$d/data/alpha.txt"
build_setup wizard.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/dest")"
wizard_steps "$(winpath "$d/setup.exe")"
question='dialog caption="Wizard Check Setup" text="Quit the wizard check?"'

while IFS='|' read -r page title; do
  steps="to_$page[@]" seen="seen_$page"
  page_seen "$title"
  check_drive "Cancel on the $page page, No then Yes" \
    "${!seen}|clicked id=2|$question|pressed No|$page_line|clicked id=2|$cancel_confirmed" \
    "${!steps}" $S click 2 $S wait-dialog 10 $S press No $S "${page_step[@]}" 10 $S click 2 \
    $S "${cancel_steps[@]}"
done <<ROWS
welcome|Welcome page
information|Information page
agreement|Agreement page
destination|Destination page
ROWS
rm -rf "$d/dest"
check_drive "Cancel on the ready page, Yes" "$seen_ready|clicked id=2|$cancel_confirmed" \
  "${to_ready[@]}" $S click 2 $S "${cancel_steps[@]}"
check_that "nothing installed after a cancel" test ! -e "$d/dest/alpha.txt"

check_drive "closing the main window asks like Cancel" \
  "$seen_information|closed class=\"WrenlyClass\"|$question|pressed No|page \"Information page\"|closed class=\"WrenlyClass\"|$cancel_confirmed" \
  "${to_information[@]}" $S close $S wait-dialog 10 $S press No $S wait-page "Information page" 10 \
  $S close $S "${cancel_steps[@]}"

# A second start while the first shows its wizard ends at once with 0; the
# first waits for the second to be over before it goes on.
drive_until 'page "Information page"' "${to_information[@]}" $S wait-file "$held_win" 60 $S click 2 \
  $S "${cancel_steps[@]}"
check_drive "a second start ends at once with 1618" "no-window|exit 1618" \
  start "$(winpath "$d/setup.exe")" $S expect-no-window 10 $S wait-exit 10
drive_resume
expect "the first instance went on, to its cancel" "exit 1602" "$(grep '^exit' <<<"$run")"

while IFS='|' read -r page title; do
  build_setup wizard-single.toml "$d/$page.exe" -D PAGE="$page"
  page_seen "$title"
  check_drive "single $page page: Cancel ends it without a question" \
    "$page_line|state id=2 visible=1 enabled=1 checked=0|clicked id=2|exit 0" \
    start "$(winpath "$d/$page.exe")" $S "${page_step[@]}" 15 $S state 2 $S click 2 $S wait-exit 15
done <<ROWS
welcome|Welcome page
progress|Progress page
ROWS
check_that "the single progress page installed nothing" \
  test ! -e "$WINEPREFIX/drive_c/Program Files/Single Check/payload.txt"

cases_done
