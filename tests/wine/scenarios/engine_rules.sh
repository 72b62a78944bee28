#!/usr/bin/env bash
# Entry rules over what is already there: only-if-missing keeps an existing
# file, a read-only destination is replaced and stays read-only, the
# read-only option marks the installed file, and each installation of a
# shared file raises its SharedDLLs count by one.
. "$(dirname "$0")/../engine_lib.sh"
engine_require

d=$(scratch_dir engine_rules)
build_setup engine-rules.toml "$d/setup.exe"
package=$(cat "$WRENLY_WINE_PROJECTS/engine/alpha.txt")
existing="the user's own rule.txt"

# Read-only under Wine is the missing write permission of the Unix file.
writable() { case "$(stat -c %A "$1" 2>/dev/null)" in "") echo missing ;; ??w*) echo writable ;; *) echo read-only ;; esac; }

check() {  # name type before status holds mode
  local name=$1 type=$2 before=$3 status=$4 holds=$5 mode=$6
  local folder=$d/$name file=$d/$name/rule.txt
  mkdir -p "$folder"
  case "$before" in
    file) printf '%s' "$existing" >"$file" ;;
    read-only) printf '%s' "$existing" >"$file" && chmod a-w "$file" ;;
  esac
  engine_install "" "$d/setup.exe" --type "$type" --folder "$(winpath "$folder")"
  expect "$name: result" "0" "$(report_value result)"
  expect "$name: status" "$status" "$(report_value entry rule.txt status)"
  local now=other
  [ "$(cat "$file" 2>/dev/null)" = "$package" ] && now=package
  [ "$(cat "$file" 2>/dev/null)" = "$existing" ] && now=existing
  expect "$name: file holds" "$holds" "$now"
  expect "$name: attribute" "$mode" "$(writable "$file")"
  expect "$name: no temporary file" "" "$(temp_files "$folder")"
}

#     case                     type before     status holds    attribute
check only-if-missing-exists   0    file       501    existing writable
check only-if-missing-absent   0    none       25     package  writable
check read-only-option         1    none       25     package  read-only
check read-only-option-over    1    file       23     package  read-only
check read-only-destination    2    read-only  23     package  read-only
check plain-over-file          2    file       23     package  writable

# Two installations of the shared file: the count goes 1, then 2.
shared_key='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
shared_path='C:\windows\system32\wrenly-shared-rule.txt'
wine_run reg delete "$shared_key" /v "$shared_path" /f "$(reg_view)" >/dev/null 2>&1 || true
for count in 1 2; do
  engine_install "" "$d/setup.exe" --type 3 --folder "$(winpath "$d/shared")"
  expect "shared, run $count: result" "0" "$(report_value result)"
  expect "shared, run $count: count" "REG_DWORD 0x$count" "$(reg_value "$shared_key" "$shared_path")"
done
wine_run reg delete "$shared_key" /v "$shared_path" /f "$(reg_view)" >/dev/null 2>&1 || true

cases_done
