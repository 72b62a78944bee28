#!/usr/bin/env bash
# Cancel pressed while an entry is being read: the entry's temporary file is
# removed, an existing destination is left as it was, and no later entry is
# installed.
. "$(dirname "$0")/../engine_lib.sh"
engine_require

d=$(scratch_dir engine_cancel)
head -c 2000000 /dev/urandom >"$d/large.bin"
build_setup engine-cancel.toml "$d/setup.exe" -D DATA="$d"

#    case               messages pumped before Cancel   existing destination
while IFS='|' read -r name pumps existing; do
  folder=$d/$name
  mkdir -p "$folder"
  [ -n "$existing" ] && printf '%s' "$existing" >"$folder/large.bin"
  engine_install "" "$d/setup.exe" --cancel-at-pump "$pumps" --folder "$(winpath "$folder")"
  expect "$name: cancelled" "1" "$(report_value user-cancelled)"
  expect "$name: no temporary file" "" "$(temp_files "$folder")"
  if [ -n "$existing" ]; then
    expect "$name: existing file kept" "$existing" "$(cat "$folder/large.bin" 2>/dev/null)"
  else
    expect "$name: entry not in place" "no" "$([ -e "$folder/large.bin" ] && echo yes || echo no)"
  fi
  expect "$name: later entry not installed" "no" "$([ -e "$folder/beta.txt" ] && echo yes || echo no)"
  expect "$name: no progress figure" "" "$(report_value progress)"
done <<ROWS
at the first read|1|
half-way|240|
half-way over a file|240|the user's large.bin
ROWS

cases_done
