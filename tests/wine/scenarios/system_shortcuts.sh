#!/usr/bin/env bash
# Shortcuts: the real setup program makes them through the shell, and an
# independent reader of the files (lnkinfo) says what each one holds.
. "$(dirname "$0")/../engine_lib.sh"
wine_require
command -v lnkinfo >/dev/null || skip "no lnkinfo (package liblnk-utils)"

d=$(scratch_dir system_shortcuts)
app=$(winpath "$d/app")
build_setup system-shortcuts.toml "$d/setup.exe" -D FOLDER="$app"
user=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}
menu="$user/AppData/Roaming/Microsoft/Windows/Start Menu"
programs="$menu/Programs"
common="$WINEPREFIX/drive_c/users/Public/Desktop"
# Gone before and after: wineboot would start what the Startup folder holds.
made=("$programs/Wrenly Tools" "$programs/Wrenly Vendor" "$programs/Wrenly Plain.lnk"
  "$programs/StartUp/Wrenly Tool.lnk" "$common/Wrenly Tool.lnk" "$user/Desktop/Wrenly Nested.lnk")
rm -rf "${made[@]}"

setup_install "" "$d/setup.exe"
expect "result" "0" "$run_exit"

# Icon index, path, working folder, arguments and icon as the reader prints them.
fields() { lnkinfo "$1" 2>&1 | tr -d '\r' |
  sed -n 's/^[[:space:]]*\(Icon index\|Local path\|Working directory\|Command line arguments\|Icon location\)[[:space:]]*: //p' |
  paste -sd '|'; }
while IFS='|' read -r name file expected; do
  expect "$name" "$expected" "$(fields "$file")"
done <<EOF
group|$programs/Wrenly Tools/Wrenly Tool.lnk|2|$app\\tool.exe|$app|$app\\readme.txt|$app\\tool.ico
Startup|$programs/StartUp/Wrenly Tool.lnk|2|$app\\tool.exe|$app|$app\\readme.txt|$app\\tool.ico
nested group|$programs/Wrenly Vendor/Wrenly Tools/Wrenly Nested.lnk|0|$app\\bin\\nested.exe|$app\\bin
Programs itself|$programs/Wrenly Plain.lnk|0|$app\\plain.exe|$app
common desktop|$common/Wrenly Tool.lnk|0|$app\\tool.exe|$app|--from $app
own desktop|$user/Desktop/Wrenly Nested.lnk|0|$app\\bin\\nested.exe|$app\\bin
EOF
rm -rf "${made[@]}"
cases_done
