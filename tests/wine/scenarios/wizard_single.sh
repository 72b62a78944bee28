#!/usr/bin/env bash
# A package that shows one page alone: no installation runs, and Cancel ends
# the run at once without a question.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_single)
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
