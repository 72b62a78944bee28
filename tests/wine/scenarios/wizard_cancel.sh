#!/usr/bin/env bash
# Cancel on every page before the installation, answered No (the page stays)
# and Yes (the note, then the closing page, and nothing installed); closing
# the main window acts as Cancel; a second start raises the first instance.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_cancel)
mkdir -p "$d/data"
printf 'alpha\n' >"$d/data/alpha.txt"
build_setup wizard.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/dest")"
wizard_steps "$(winpath "$d/setup.exe")"
question='dialog caption="Wizard Check Setup" text="Quit the wizard check?"'

#    page          steps to it        what it prints   how it is recognised again
while IFS='|' read -r page id text; do
  steps="to_$page[@]" seen="seen_$page"
  check_drive "Cancel on the $page page, No then Yes" \
    "${!seen}|clicked id=2|$question|pressed No|text id=$id \"$text\"|clicked id=2|$cancel_confirmed" \
    "${!steps}" $S click 2 $S wait-dialog 10 $S press No $S wait-text "$id" "$text" 10 $S click 2 \
    $S "${cancel_steps[@]}"
done <<ROWS
welcome|1000|Welcome page
information|1046|Information page
agreement|1046|Agreement page
destination|1046|Destination page
ROWS
rm -rf "$d/dest"
check_drive "Cancel on the ready page, Yes" "$seen_ready|clicked id=2|$cancel_confirmed" \
  "${to_ready[@]}" $S click 2 $S "${cancel_steps[@]}"
check_that "nothing installed after a cancel" test ! -e "$d/dest/alpha.txt"

check_drive "closing the main window asks like Cancel" \
  "$seen_information|closed class=\"WrenlyClass\"|$question|pressed No|text id=1046 \"Information page\"|closed class=\"WrenlyClass\"|$cancel_confirmed" \
  "${to_information[@]}" $S close $S wait-dialog 10 $S press No $S wait-text 1046 "Information page" 10 \
  $S close $S "${cancel_steps[@]}"

# A second start while the first shows its wizard ends at once with 0.
first=$(mktemp)
drive "${to_information[@]}" $S sleep 6 $S click 2 $S "${cancel_steps[@]}" >"$first" 2>&1 &
first_pid=$!
sleep 3
check_drive "a second start ends at once" "no-window|exit 0" \
  start "$(winpath "$d/setup.exe")" $S expect-no-window 10 $S wait-exit 10
wait "$first_pid" || true
check_that "the first instance went on" grep -q '^exit 0' "$first"
rm -f "$first"

cases_done
