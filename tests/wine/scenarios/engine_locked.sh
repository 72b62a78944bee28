#!/usr/bin/env bash
# A destination another program holds open cannot be replaced now. When it
# already holds the package's content the entry counts as replaced (23) and
# nothing waits for a restart; otherwise the new file waits beside it (500),
# a rename is recorded for the restart, and the restart puts it in place.
. "$(dirname "$0")/../engine_lib.sh"
engine_require

d=$(scratch_dir engine_locked)
build_setup engine-locked.toml "$d/setup.exe"
package=$(cat "$WRENLY_WINE_PROJECTS/engine/alpha.txt")
pending_key='HKLM\System\CurrentControlSet\Control\Session Manager'

# Installs while another process holds folder/locked.txt open; others may
# only read it.
install_held() {  # folder
  local folder=$1 marker=$1.hold release=$1.release
  rm -f "$marker" "$release"
  wine_run "$(engine_exe)" --report "$(winpath "$marker")" --hold "$(winpath "$folder/locked.txt")" 30000 \
    --release "$(winpath "$release")" &
  local holder=$!
  for _ in $(seq 100); do
    grep -q holding "$marker" 2>/dev/null && break
    sleep 0.1
  done
  grep -q holding "$marker" 2>/dev/null || fail "the holder did not open the file: $(cat "$marker" 2>/dev/null)"
  engine_install "" "$d/setup.exe" --folder "$(winpath "$folder")"
  touch "$release"
  wait "$holder" || true
}

mkdir -p "$d/same" "$d/other"
wine_run reg delete "$pending_key" /v PendingFileRenameOperations /f "$(reg_view)" >/dev/null 2>&1 || true

cp "$WRENLY_WINE_PROJECTS/engine/alpha.txt" "$d/same/locked.txt"
install_held "$d/same"
expect "identical content: result" "0" "$(report_value result)"
expect "identical content: status" "23" "$(report_value entry locked.txt status)"
expect "identical content: no restart" "0" "$(report_value restart-needed)"
expect "identical content: no temporary file" "" "$(temp_files "$d/same")"
expect "identical content: no rename recorded" "" "$(reg_value "$pending_key" PendingFileRenameOperations)"

printf 'what another program has open' >"$d/other/locked.txt"
install_held "$d/other"
expect "other content: result" "0" "$(report_value result)"
expect "other content: status" "500" "$(report_value entry locked.txt status)"
expect "other content: restart needed" "1" "$(report_value restart-needed)"
expect "other content: old file still there" "what another program has open" "$(cat "$d/other/locked.txt")"
expect "other content: new file waits beside it" "1" "$(temp_files "$d/other" | wc -l)"
pending=$(reg_value "$pending_key" PendingFileRenameOperations)
expect "other content: rename recorded" "REG_MULTI_SZ" "${pending%% *}"

wine_run wineboot -r >/dev/null 2>&1 || true
expect "after the restart: new file in place" "$package" "$(cat "$d/other/locked.txt")"
expect "after the restart: no temporary file" "" "$(temp_files "$d/other")"
expect "after the restart: no rename left" "" "$(reg_value "$pending_key" PendingFileRenameOperations)"

cases_done
