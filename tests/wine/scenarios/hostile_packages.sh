#!/usr/bin/env bash
# Setup programs edited by wrenly-hostile-package into ones no builder writes
# fail and say so: a nameless entry or a relative kind-8 folder writes
# nothing (31) and keeps the user's file, a missing block the run needs
# shows nothing (-1). On a 2 MB disk Enter on "not enough space" keeps the
# page, a write that fails is 17, naming the file and leaving nothing, and
# Next clicked twice asks each question once.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require

d=$(scratch_dir hostile)
dest=$d/dest c=$WINEPREFIX/drive_c
head -c 20000 /dev/urandom >"$d/victim.bin"
build_setup hostile.toml "$d/setup.exe" -D DATA="$d" -D FOLDER="$(winpath "$dest")"
printf 'an older file the user keeps' >"$d/existing.txt"

writes_nothing() {  # name edit answers exit
  "$WRENLY_HOSTILE_PACKAGE" "$d/setup.exe" "$d/$1.exe" "$2"
  rm -rf "$dest" "$c/k8out" && mkdir -p "$dest" && cp "$d/existing.txt" "$dest/victim.bin"
  forget_pending
  setup_install "$3" "$d/$1.exe"
  expect "$1: exit" "$4" "$run_exit"
  expect "$1: the user's file" kept "$(cmp -s "$d/existing.txt" "$dest/victim.bin" && echo kept || echo changed)"
  # The Installer works in its folder, C:\wt\hostile\dest: ..\..\k8out is C:\k8out.
  expect "$1: no temporary file, k8out or pending rename" "" \
    "$(temp_files "$d"; ls -d "$c/k8out" 2>/dev/null; pending)"
}
refused() {  # name block-id
  "$WRENLY_HOSTILE_PACKAGE" "$d/setup.exe" "$d/$1.exe" lose-block "$2"
  check_drive "$1: nothing shown, -1" "no-window|exit -1" start "$(winpath "$d/$1.exe")" $S expect-no-window 15 $S wait-exit 15
}

# A 2 MB disk as drive T: and an incompressible file of 3 MB to install there.
mkdir -p "$d/data" && head -c 3000000 /dev/urandom >"$d/data/big.bin"
build_setup wizard.toml "$d/big.exe" -D DATA="$d/data" -D FOLDER='T:\app'
wizard_steps "$(winpath "$d/big.exe")"
space=$(box "Not enough space. Go on anyway?")
failed='Failed: The file T:\app\big.bin could not be written. Check that the drive is not full or protected.'
small=$(mktemp -d) mounted=
trap 'status=$?; umount -l "$small" 2>/dev/null || true; rmdir "$small"; rm -f "$WINEPREFIX/dosdevices/t:"; exit $status' EXIT
mount -t tmpfs -o size=2m tmpfs "$small" 2>/dev/null && ln -sfn "$small" "$WINEPREFIX/dosdevices/t:" && mounted=1
small_disk() {  # name click-step lines-it-prints
  [ -n "$mounted" ] || { echo "SKIPPED: $1: no tmpfs can be mounted here (not root?)"; return; }
  rm -rf "${small:?}/app"
  check_drive "$1" "$seen_destination|$3|$(box "Create the folder?")|pressed Yes|$space|pressed Enter|page \"Destination page\"|clicked id=1|$space|pressed Yes|page \"Ready page\"|clicked id=1|text id=1000 \"$failed\"|clicked id=1|$closing|clicked id=2|exit 17" \
    "${to_destination[@]}" $S "$2" 1 $S wait-dialog 10 $S press Yes $S wait-dialog 10 $S enter \
    $S wait-page "Destination page" 10 $S click 1 $S wait-dialog 10 $S press Yes $S wait-page "Ready page" 10 \
    $S click 1 $S wait-text 1000 "$failed" 30 $S click 1 $S wait-control 100 10 $S click 2 $S wait-exit 15
  expect "$1: nothing half-written" "" "$(find "$small" -type f)"
}

#              case                               edit / block / click  answers / what it prints  exit
writes_nothing "no name"                          empty-name            ""                        31
writes_nothing "a relative kind-8 folder"         relative-folder       ""                        31
refused        "no SetupSettings"                 5173
refused        "no file table"                    5178
refused        "an uninstaller entry, no image"   5183
small_disk     "a full disk"                      click                 "clicked id=1"
small_disk     "Next twice: each question once"   click-twice           "clicked id=1|clicked id=1"

cases_done
