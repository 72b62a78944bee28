#!/usr/bin/env bash
# Fonts: a real TrueType font lands in the fonts folder and is registered
# under the Fonts key by the full name from its name table; a font whose
# name table has only Windows-platform records is installed but, having no
# name to register, adds no value.
. "$(dirname "$0")/../engine_lib.sh"
engine_require
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$font" ] || skip "no $font (package fonts-dejavu-core)"
[ -x "${WRENLY_FONT_EDIT:-}" ] || skip "the font editing helper is not built"

d=$(scratch_dir engine_fonts)
fonts=$WINEPREFIX/drive_c/windows/Fonts
"$WRENLY_FONT_EDIT" "$font" "$d/windows-names.ttf" || fail "could not craft the Windows-names font"
build_setup engine-fonts.toml "$d/setup.exe" -D FONT="$font" -D WINFONT="$d/windows-names.ttf"
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
rm -f "$fonts/WrenlyCheckSans.ttf" "$fonts/WrenlyWindowsNames.ttf"
old=$(reg_value "$key" "DejaVu Sans (TrueType)")
before=$(wine_run reg query "$key" "$(reg_view)" 2>/dev/null | tr -d '\r' | grep -c WrenlyWindowsNames || true)

engine_install "" "$d/setup.exe" --folder "$(winpath "$d/app")"
expect "result" "0" "$(report_value result)"
#      case                          entry                    source
while IFS='|' read -r name entry source; do
  expect "$name: created" "25" "$(report_value entry "$entry" status)"
  expect "$name: in the fonts folder" "same" "$(cmp -s "$source" "$fonts/$entry" && echo same)"
done <<ROWS
real font|WrenlyCheckSans.ttf|$font
Windows names only|WrenlyWindowsNames.ttf|$d/windows-names.ttf
ROWS
expect "real font: registered by its full name" "REG_SZ WrenlyCheckSans.ttf" \
  "$(reg_value "$key" "DejaVu Sans (TrueType)")"
expect "Windows names only: nothing registered" "$before" \
  "$(wine_run reg query "$key" "$(reg_view)" 2>/dev/null | tr -d '\r' | grep -c WrenlyWindowsNames || true)"
expect "no temporary file" "" "$(temp_files "$fonts")"

# The prefix's own registration of the font comes back.
if [ -n "$old" ]; then
  wine_run reg add "$key" /v "DejaVu Sans (TrueType)" /t "${old%% *}" /d "${old#* }" /f "$(reg_view)" >/dev/null 2>&1 || true
else
  wine_run reg delete "$key" /v "DejaVu Sans (TrueType)" /f "$(reg_view)" >/dev/null 2>&1 || true
fi

cases_done
