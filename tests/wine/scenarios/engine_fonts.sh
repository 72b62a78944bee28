#!/usr/bin/env bash
# Fonts: a real TrueType font lands in the fonts folder and is registered
# under the Fonts key by the full name from its name table (which name
# records count is proven by the native tables).
. "$(dirname "$0")/../engine_lib.sh"
wine_require
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$font" ] || skip "no $font (package fonts-dejavu-core)"

d=$(scratch_dir engine_fonts)
fonts=$WINEPREFIX/drive_c/windows/Fonts
build_setup engine-fonts.toml "$d/setup.exe" -D FONT="$font" -D FOLDER="$(winpath "$d/app")"
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
rm -f "$fonts/WrenlyCheckSans.ttf"
old=$(reg_value "$key" "DejaVu Sans (TrueType)")
reg_quiet delete "$key" /v "DejaVu Sans (TrueType)" /f "$(reg_view)"

setup_install "" "$d/setup.exe"
expect "result" "0" "$run_exit"
expect "in the fonts folder" "same" "$(cmp -s "$font" "$fonts/WrenlyCheckSans.ttf" && echo same)"
expect "registered by its full name" "REG_SZ WrenlyCheckSans.ttf" "$(reg_value "$key" "DejaVu Sans (TrueType)")"
expect "no temporary file" "" "$(temp_files "$fonts")"

# Another file registered under that name keeps its registration.
reg_quiet add "$key" /v "DejaVu Sans (TrueType)" /t REG_SZ /d "OtherSans.ttf" /f "$(reg_view)"
setup_install "" "$d/setup.exe"
expect "another font's value kept" "0 REG_SZ OtherSans.ttf" "$run_exit $(reg_value "$key" "DejaVu Sans (TrueType)")"

# The prefix's own registration of the font comes back.
reg_quiet delete "$key" /v "DejaVu Sans (TrueType)" /f "$(reg_view)"
[ -z "$old" ] || reg_quiet add "$key" /v "DejaVu Sans (TrueType)" /t "${old%% *}" /d "${old#* }" /f "$(reg_view)"

cases_done
