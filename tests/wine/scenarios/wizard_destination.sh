#!/usr/bin/env bash
# The destination page's checks on Next: a folder that does not exist is
# created only on Yes, an empty one is refused. A disk without room is in
# hostile_packages.sh.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir wizard_destination)
mkdir -p "$d/data"
head -c 1500000 /dev/urandom >"$d/data/large.bin"
dest=$(winpath "$d/dest")
build_setup wizard.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$dest"
wizard_steps "$(winpath "$d/setup.exe")"
box() { echo "dialog caption=\"Wizard Check Setup\" text=\"$1\""; }
on_page='page "Destination page"'

# A folder made on No would not be asked about on the second Next.
check_drive "an empty folder is refused; a missing one is made on Yes, not on No" \
  "$seen_destination|set-text id=1004 \"\"|clicked id=1|$(box "That folder cannot be used.")|pressed OK|$on_page|set-text id=1004 \"$dest\"|clicked id=1|$(box "Create the folder?")|pressed No|$on_page|clicked id=1|$(box "Create the folder?")|pressed Yes|page \"Ready page\"|killed" \
  "${to_destination[@]}" $S set-text 1004 "" $S click 1 $S wait-dialog 10 $S press OK \
  $S wait-page "Destination page" 10 $S set-text 1004 "$dest" $S click 1 $S wait-dialog 10 $S press No \
  $S wait-page "Destination page" 10 $S click 1 $S wait-dialog 10 $S press Yes $S wait-page "Ready page" 10 $S kill
check_that "the folder was made" test -d "$d/dest"

cases_done
