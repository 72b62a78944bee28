#!/usr/bin/env bash
# Shortcuts made through the shell, read back by an independent reader (lnkinfo).
. "$(dirname "$0")/../engine_lib.sh"
wine_require
command -v lnkinfo >/dev/null || skip "no lnkinfo (package liblnk-utils)"
d=$(scratch_dir system_shortcuts) && app=$(winpath "$d/app")
build_setup system-shortcuts.toml "$d/setup.exe" -D FOLDER="$app"
p="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
common="$WINEPREFIX/drive_c/users/Public/Desktop"
# Gone before and after: wineboot would start what the Startup folder holds.
made=("$p/Wrenly Tools" "$p/Wrenly Vendor" "$p/Wrenly Plain.lnk" "$p/StartUp/Wrenly Tool.lnk" "$common/Wrenly Tool.lnk")
rm -rf "${made[@]}"
setup_install "" "$d/setup.exe"
expect "result" "0" "$run_exit"
fields='s/^\s*\(Icon index\|Local path\|Working directory\|Command line arguments\|Icon location\)\s*: //p'
while IFS='|' read -r name file expected; do
  expect "$name" "$expected" "$(lnkinfo "$file" 2>&1 | sed -n "$fields" | paste -sd '|')"
done <<EOF
group|$p/Wrenly Tools/Wrenly Tool.lnk|2|$app\\tool.exe|$app|$app\\readme.txt|$app\\tool.ico
Startup|$p/StartUp/Wrenly Tool.lnk|2|$app\\tool.exe|$app|$app\\readme.txt|$app\\tool.ico
nested group|$p/Wrenly Vendor/Wrenly Tools/Wrenly Nested.lnk|0|$app\\bin\\nested.exe|$app\\bin
Programs itself|$p/Wrenly Plain.lnk|0|$app\\plain.exe|$app
common desktop|$common/Wrenly Tool.lnk|0|$app\\tool.exe|$app|--from $app
EOF
rm -rf "${made[@]}"
cases_done
