#!/usr/bin/env bash
# Version 1, then 1 again (a repair), then 2 over it: 2 goes to 1's folder,
# 1's own file, folder and shortcut go, and one entry and one record stand
# for the product, so that uninstalling leaves the prefix as it was. Version
# 1 over 2 is refused and changes nothing.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir product_upgrade)
c=$WINEPREFIX/drive_c
menu=$(echo "$c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)
for v in 1.0 2.0; do
  mkdir -p "$d/$v" && echo "only in $v" >"$d/$v/only.txt"
  build_setup upgrade.toml "$d/setup-$v.exe" -D VERSION=$v -D ONLY="$d/$v/only.txt"
done
# What the product has in the prefix: its folder's files, its shortcuts, its
# entry's key and version.
product() {
  local app
  app=$(echo "$c"/Program\ Files*/Wrenly\ Upgrade)
  (cd "$app" 2>/dev/null && find . -type f | sort | paste -sd' ')
  ls "$menu/Wrenly Upgrade" 2>/dev/null | paste -sd' '
  changes "$d/before" "$1" | sed -nE 's#^\+ reg .*/Uninstall/([^|]*)\|DisplayVersion=(.*)#\1 \2#p'
}
footprint_before "$d/before"

quietly "$d/setup-1.0.exe" /Q
expect "version 1 installed" 0 "$run_exit"
quietly "$d/setup-1.0.exe" /Q
expect "version 1 again: repaired" 0 "$run_exit"
footprint "$d/one"
expect "version 1: its files, its shortcut, its entry" \
  "./alpha.txt ./only-1.0/only.txt ./uninstall.exe|Alpha 1.0.lnk|WrenlyUpgrade 1.0" "$(product "$d/one" | paste -sd'|')"

quietly "$d/setup-2.0.exe" /Q
expect "version 2 over it" 0 "$run_exit"
footprint "$d/two"
expect "version 2: version 1's own file, folder and shortcut gone, one entry" \
  "./alpha.txt ./only-2.0/only.txt ./uninstall.exe|Alpha 2.0.lnk|WrenlyUpgrade 2.0" "$(product "$d/two" | paste -sd'|')"

quietly "$d/setup-1.0.exe" /Q
expect "version 1 over 2: refused" 1638 "$run_exit"
footprint "$d/now"
expect "refused: nothing changed" "" "$(changes "$d/two" "$d/now")"

app=$(echo "$c"/Program\ Files*/Wrenly\ Upgrade)
quietly "$app/uninstall.exe" /Q
expect "uninstalled" 0 "$run_exit"
expect_round_trip "round trip: nothing left of either version" "$d/before"
cases_done
