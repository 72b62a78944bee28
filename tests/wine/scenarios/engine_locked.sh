#!/usr/bin/env bash
# A destination another program holds open cannot be replaced now. When it
# already holds the package's content nothing waits for a restart; otherwise
# the new file waits beside it, a rename is recorded for the restart, the
# restart question is asked (the run ends with -2), and the restart puts the
# file in place.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir engine_locked)
package=$(cat "$WRENLY_WINE_PROJECTS/engine/alpha.txt")
forget_pending
for case in same other; do
  mkdir -p "$d/$case"
  build_setup engine-locked.toml "$d/$case.exe" -D FOLDER="$(winpath "$d/$case")"
done

cp "$WRENLY_WINE_PROJECTS/engine/alpha.txt" "$d/same/locked.txt"
HOLD=$d/same/locked.txt setup_install "" "$d/same.exe"
expect "identical content: ends well, no restart" "0" "$run_exit"
expect "identical content: no temporary file" "" "$(temp_files "$d/same")"
expect "identical content: no rename recorded" "" "$(pending)"

printf 'what another program has open' >"$d/other/locked.txt"
HOLD=$d/other/locked.txt RESTART=1 setup_install "" "$d/other.exe"
expect "other content: the restart asked for, later" "-2" "$run_exit"
expect "other content: old file still there" "what another program has open" "$(cat "$d/other/locked.txt")"
expect "other content: new file waits beside it" "1" "$(temp_files "$d/other" | wc -l)"
expect "other content: rename recorded" "REG_MULTI_SZ" "$(pending | cut -d' ' -f1)"

wine_run wineboot -r >/dev/null 2>&1 || true
expect "after the restart: new file in place" "$package" "$(cat "$d/other/locked.txt")"
expect "after the restart: no temporary file" "" "$(temp_files "$d/other")"
expect "after the restart: no rename left" "" "$(pending)"

cases_done
