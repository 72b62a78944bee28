#!/usr/bin/env bash
# Every destination kind puts its entry in its own folder of the prefix,
# created on the way; a folder entry only makes its folders. Nothing
# temporary is left anywhere.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir engine_destinations)
c=$WINEPREFIX/drive_c
u=$c/users/${USER:-$(id -un)}
build_setup engine-kinds.toml "$d/kinds.exe" -D FOLDER="$(winpath "$d/app")"
rm -f "$c/windows/wrenly-kind-windows.txt" "$(system_dir)/wrenly-kind-system.txt" \
  "$u/Desktop/wrenly-kind-desktop.txt" "$u/Temp/wrenly-kind-temp.txt"
rm -rf "$u/Documents/Wrenly Kinds" "$u/AppData/Roaming/Wrenly Kinds" "$c/windows/help/Wrenly"

setup_install "" "$d/kinds.exe"
expect "the run ends with 0, no restart" "0" "$run_exit"
want=$(cat "$WRENLY_WINE_PROJECTS/engine/alpha.txt")

#          kind | where its entry must be
while IFS='|' read -r kind where; do
  expect "$kind: content in place" "$want" "$(cat "$where" 2>/dev/null)"
done <<ROWS
install folder, subfolders|$d/app/sub/deep/kind-install.txt
windows folder|$c/windows/wrenly-kind-windows.txt
system folder|$(system_dir)/wrenly-kind-system.txt
desktop|$u/Desktop/wrenly-kind-desktop.txt
temporary folder|$u/Temp/wrenly-kind-temp.txt
documents, subfolder|$u/Documents/Wrenly Kinds/kind-documents.txt
application data, subfolder|$u/AppData/Roaming/Wrenly Kinds/kind-appdata.txt
custom folder with a variable|$c/windows/help/Wrenly/kind-custom.txt
ROWS

expect "folder entry: its folders exist" "yes" "$([ -d "$d/app/empty/made" ] && echo yes || echo no)"
expect "folder entry: nothing inside" "" "$(ls -A "$d/app/empty/made" 2>/dev/null)"
expect "no temporary file left" "" "$(temp_files "$c")"

cases_done
