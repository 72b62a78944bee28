#!/usr/bin/env bash
# Progress goes by entry count: after each handled entry the percentage of
# entries done, ending at 100; a type without entries shows no figure and
# still ends well.
. "$(dirname "$0")/../engine_lib.sh"
engine_require

d=$(scratch_dir engine_progress)
build_setup engine-count.toml "$d/count.exe"

# type|entries|figures shown|files in the folder
while IFS='|' read -r type entries figures files; do
  engine_install "" "$d/count.exe" --type "$type" --folder "$(winpath "$d/type$type")"
  expect "$entries entries: result" "0" "$(report_value result)"
  expect "$entries entries: figures" "$figures" "$(report_value progress | sed 's/^ //')"
  expect "$entries entries: files" "$files" "$(ls "$d/type$type" 2>/dev/null | tr '\n' ' ' | sed 's/ $//')"
done <<ROWS
0|0||
1|1|100|alpha.txt
2|3|33 66 100|alpha.txt beta.txt gamma.txt
ROWS

cases_done
