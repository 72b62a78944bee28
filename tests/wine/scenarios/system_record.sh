#!/usr/bin/env bash
# The completion step as Windows shows it. Four installations into one
# folder, each keeping the folder under another root: the uninstaller keeps
# one record per installation; the second holds the library open, so it
# registers itself at the next start under the first free RunOnce number.
. "$(dirname "$0")/../engine_lib.sh"
wine_require
parts=$(win_dir)/tests/wine/components
[ -f "$parts/selfreg.dll" ] || skip "the components are not built ($parts)"

d=$(scratch_dir system_record)
c=$WINEPREFIX/drive_c app=$d/app
ukey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Wrenly Record'
runonce='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
reg() { reg_quiet "$@" "$(reg_view)"; }
reg delete "$ukey" /f
for n in 000 001 002 003; do reg delete "$runonce" /v "OrinLaunch$n" /f; done
for n in 000 001 002; do reg add "$runonce" /v "OrinLaunch$n" /d taken /f; done
rm -f "$(system_dir)/wrenly-record-system.txt" "$c/windows/wrenly-record.ini" "$c/wt/run.log"
cp "$(win_dir)/tests/wine/canary/recorder.exe" "$c/windows/regtlib.exe"  # the type library's tool
# A font file there before stays the system's (no font inside: nothing is registered).
cp "$WRENLY_WINE_PROJECTS/engine/alpha.txt" "$c/windows/Fonts/WrenlyRecordSans.ttf"

#      root | its key | the library held open
while IFS='|' read -r root key hold; do
  reg delete "$root\\$key" /f
  cp "$parts/selfreg.dll" "$d/selfreg.dll" && echo "$root" >>"$d/selfreg.dll"  # new content each time
  build_setup system-record.toml "$d/setup.exe" -D FOLDER="$(winpath "$app")" -D ROOT="$root" -D KEY="$key" \
    -D SELFREG="$d/selfreg.dll"
  HOLD=${hold:+$app/selfreg.dll} RESTART=$hold setup_install "" "$d/setup.exe"
  expect "$root: the run ends" "$([ -n "$hold" ] && echo -2 || echo 0)" "$run_exit"
  expect "$root: the folder kept there" "REG_SZ $(winpath "$app")" "$(reg_value "$root\\$key" Folder)"
done <<ROWS
HKCR|Wrenly Record|
HKCU|Software\\Wrenly Record|1
HKLM|Software\\Wrenly Record|
HKU|.DEFAULT\\Software\\Wrenly Record|
ROWS

tlib=$(for _ in $(seq "$(scaled 100)"); do grep -am1 '^regtlib\.exe|' "$c/wt/run.log" 2>/dev/null && break; sleep 0.1; done)
expect "the type library's tool ran" "-q \"$(winpath "$app")\\types.tlb\"" "$(cut -d'|' -f3 <<<"$tlib")"
for _ in $(seq "$(scaled 50)"); do [ -n "$(reg_value 'HKCU\Software\Wrenly Record' FromScript)" ] && break; sleep 0.2; done
view=$("$WRENLY_TOOL" inspect "$app/bin/uninstall.exe" 2>&1) || true
short=$(wine_run cmd /c for %I in \("$(winpath "$app")\selfreg.dll"\) do @echo %~sI | tr -d '\r')
#      what | in the uninstaller's view | times
while IFS='|' read -r what pattern times; do
  expect "record: $what" "$times" "$(grep -cF -- "$pattern" <<<"$view")"
done <<ROWS
a file in the folder itself|file "<installation folder>\\alpha.txt"|4
a file below it|file "<installation folder>\\data\\img\\a.bmp"|4
the folders it needs, the uninstaller's too (one line each)|folder "<installation folder>|3
a system-folder file, kept from the second run on|\\system32\\wrenly-record-system.txt"|4
the library, also while it waits for the restart|unregister "<installation folder>\\selfreg.dll"|4
a font that was there before|WrenlyRecordSans|0
one record per installation, complete|, records 4|1
ROWS
#      what | value | what it must be
while IFS='|' read -r what value want; do
  expect "$what" "$want" "$(reg_value "${value%\\*}" "${value##*\\}")"
done <<ROWS
uninstall entry|$ukey\\DisplayName|REG_SZ Wrenly Record
uninstall command, quoted|$ukey\\UninstallString|REG_SZ "$(winpath "$app")\\bin\\uninstall.exe"
silent command|$ukey\\QuietUninstallString|REG_SZ "$(winpath "$app")\\bin\\uninstall.exe" /S
installation folder|$ukey\\InstallLocation|REG_SZ $(winpath "$app")
icon|$ukey\\DisplayIcon|REG_SZ $(winpath "$app")\\bin\\uninstall.exe
removal only|$ukey\\NoModify|REG_DWORD 0x1
no repair either|$ukey\\NoRepair|REG_DWORD 0x1
version|$ukey\\DisplayVersion|REG_SZ 4.0.1
publisher|$ukey\\Publisher|REG_SZ Wrenly Record Works
address|$ukey\\URLInfoAbout|REG_SZ https://record.example/
the held library at the next start|$runonce\\OrinLaunch003|REG_SZ regsvr32 /s "$short"
the registry script|HKCU\\Software\\Wrenly Record\\FromScript|REG_SZ yes
ROWS
# Wine runs and empties RunOnce when a server session starts: what is left says whether one did.
[ -n "$(reg_value "$runonce" OrinLaunch003)" ] || echo "  RunOnce now: $(wine_run reg query "$runonce" "$(reg_view)" 2>&1 | tr -d '\r' | paste -sd'|')"
expect "the folder in the INI file" "Folder=$(winpath "$app")" "$(grep -a Folder= "$c/windows/wrenly-record.ini" | tr -d '\r')"
expect "the library's own registration" "register unregister unregister register unregister register" \
  "$(tr '\n' ' ' <"$app/selfreg.dll.log" | sed 's/ $//')"

for n in 000 001 002 003; do reg delete "$runonce" /v "OrinLaunch$n" /f; done
forget_pending
rm -f "$c/windows/Fonts/WrenlyRecordSans.ttf" $(temp_files "$app")  # no restart comes for the held library
cases_done
