#!/usr/bin/env bash
# Every destination kind puts its entry in its own folder of the prefix,
# created on the way; a folder entry only makes its folders. Nothing
# temporary is left anywhere.
. "$(dirname "$0")/../engine_lib.sh"
engine_require

d=$(scratch_dir engine_destinations)
c=$WINEPREFIX/drive_c
u=$c/users/${USER:-$(id -un)}
build_setup engine-kinds.toml "$d/kinds.exe"
rm -f "$c/windows/wrenly-kind-windows.txt" "$(system_dir)/wrenly-kind-system.txt" \
  "$u/Desktop/wrenly-kind-desktop.txt" "$u/Temp/wrenly-kind-temp.txt"
rm -rf "$u/Documents/Wrenly Kinds" "$u/AppData/Roaming/Wrenly Kinds" "$c/windows/help/Wrenly"

engine_install "" "$d/kinds.exe" --folder "$(winpath "$d/app")"
expect "the run ends with 0" "0" "$(report_value result)"
want=$(cat "$WRENLY_WINE_PROJECTS/engine/alpha.txt")

#          kind                 entry name                        where it must be
while IFS='|' read -r kind name where; do
  expect "$kind: created" "25" "$(report_value entry "$name" status)"
  expect "$kind: content in place" "$want" "$(cat "$where" 2>/dev/null)"
done <<ROWS
install folder, subfolders|sub\\deep\\kind-install.txt|$d/app/sub/deep/kind-install.txt
windows folder|wrenly-kind-windows.txt|$c/windows/wrenly-kind-windows.txt
system folder|wrenly-kind-system.txt|$(system_dir)/wrenly-kind-system.txt
desktop|wrenly-kind-desktop.txt|$u/Desktop/wrenly-kind-desktop.txt
temporary folder|wrenly-kind-temp.txt|$u/Temp/wrenly-kind-temp.txt
documents, subfolder|Wrenly Kinds\\kind-documents.txt|$u/Documents/Wrenly Kinds/kind-documents.txt
application data, subfolder|Wrenly Kinds\\kind-appdata.txt|$u/AppData/Roaming/Wrenly Kinds/kind-appdata.txt
custom folder with a variable|kind-custom.txt|$c/windows/help/Wrenly/kind-custom.txt
ROWS

expect "folder entry: its folders exist" "yes" "$([ -d "$d/app/empty/made" ] && echo yes || echo no)"
expect "folder entry: nothing inside" "" "$(ls -A "$d/app/empty/made" 2>/dev/null)"
expect "no temporary file left" "" "$(temp_files "$c")"
expect "no restart needed" "0" "$(report_value restart-needed)"

cases_done
