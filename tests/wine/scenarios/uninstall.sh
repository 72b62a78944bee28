#!/usr/bin/env bash
# The uninstaller as Windows runs it: installed by the real setup program and
# started from the installation folder, silently or through its windows. Its
# original waits while a copy of it in the temporary folder does the work;
# the copy deletes the original and goes itself at the next restart; where
# the copy ends before it is done, the original finishes the work. Every
# case compares the prefix's files and registry before the installation and
# after the uninstall and the restart: nothing may be left but what the case
# made itself. A refused run changes nothing at all.
. "$(dirname "$0")/../engine_lib.sh"
wine_require
selfreg=$(win_dir)/tests/wine/components/selfreg.dll
[ -f "$selfreg" ] || skip "the components are not built ($selfreg)"
host_font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$host_font" ] || skip "no $host_font (package fonts-dejavu-core)"
command -v osslsigncode >/dev/null || skip "no osslsigncode (scripts/bootstrap)"

d=$(scratch_dir uninstall)
# Renamed in its name table: Wine keeps the Fonts values of host fonts in step
# with what it finds, and would now and then rewrite a value named like one.
font=$d/WrenlySans.ttf
perl -0777 -pe 's/D\0e\0j\0a\0V\0u\0 \0S\0a\0n\0s/W\0r\0e\0n\0l\0y\0 \0S\0a\0n\0s/g; s/DejaVu Sans/Wrenly Sans/g' \
  "$host_font" > "$font"
c=$WINEPREFIX/drive_c
menu=$(echo "$c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs) m=.${menu#"$c"}
shared='C:\windows\system32\wrenly-uninstall-shared.dll'
# The self-registering library keeps its log beside itself, out of the record.
reglog=$c/windows/wrenly-uninstall-reg/selfreg.dll.log
app() { echo "$c/Program Files/Wrenly Uninstall $1"; }
# S is A signed: the certificate lies behind the package and behind the
# uninstaller's program, whose record then lies in uninstall.dat beside it.
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=wrenly-test -days 2 -keyout "$d/k.pem" -out "$d/c.pem" 2>/dev/null
for p in A B C S; do  # C goes into A's folder, its record appended to A's
  q=${p/S/A} sign=()
  [ $p != S ] || sign=(--sign "osslsigncode sign -certs '$d/c.pem' -key '$d/k.pem' -in {in} -out {out}")
  reg_quiet delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Wrenly Uninstall $q" /f "$(reg_view)"
  reg_quiet delete "HKLM\\Software\\Wrenly Uninstall $q" /f "$(reg_view)"
  rm -rf "$(app $q)" "$menu/Wrenly Uninstall $q" "$c"/users/*/Desktop/Wrenly\ Uninstall\ $q.lnk
  build_setup uninstall.toml "$d/$p.exe" -D PRODUCT="Wrenly Uninstall $q" -D FOLDER="$(winpath "$(app ${q/C/A})")" \
    -D SELFREG="$selfreg" -D FONT="$font" "${sign[@]}"
done
reg_quiet delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /v "$shared" /f "$(reg_view)"
reg_quiet add 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /f "$(reg_view)"  # as Windows has it
rm -f "$(system_dir)/wrenly-uninstall-shared.dll" "$c/windows/Fonts/WrenlyUninstallSans.ttf"
reg_quiet delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Wrenly Sans (TrueType)' /f "$(reg_view)"
forget_pending
rm -rf "${reglog%/*}"
footprint_before "$d/before"

# What the first installation must add, so that "nothing left" means something.
asked=(
  "+ file ./Program Files/Wrenly Uninstall A/"{alpha.txt,data/deep/beta.txt,uninstall.exe}
  "+ file ./windows/Fonts/WrenlyUninstallSans.ttf"
  "+ file ./windows/sys*/wrenly-uninstall-shared.dll"
  "+ file ./users/*/Start Menu/Programs/Wrenly Uninstall A/Tools/Deep/Alpha.lnk"
  "+ file ./users/*/Desktop/Wrenly Uninstall A.lnk"
  "+ reg HKEY_LOCAL_MACHINE/Software/*Microsoft/Windows NT/CurrentVersion/Fonts|Wrenly Sans (TrueType)=WrenlyUninstallSans.ttf"
  "+ reg HKEY_LOCAL_MACHINE/Software/*Microsoft/Windows/CurrentVersion/SharedDLLs|C:/windows/system32/wrenly-uninstall-shared.dll=*1"
  "+ reg HKEY_LOCAL_MACHINE/Software/*Wrenly Uninstall A|Folder=C:/Program Files/Wrenly Uninstall A"
  "+ reg HKEY_LOCAL_MACHINE/Software/*Microsoft/Windows/CurrentVersion/Uninstall/Wrenly Uninstall A|DisplayName=*"
)
title='Uninstall Wrenly Uninstall A'
question='Do you want to remove Wrenly Uninstall A and everything that was installed with it from this computer?'
asking="dialog caption=\"$title\" text=\"$question\""
removed="dialog caption=\"$title\" text=\"Wrenly Uninstall A has been removed from this computer.\""

# Each copy in the temporary folder waits for the restart that takes it away.
copies=("+ file ./users/*/Temp/wrenly-*" "+ file ./windows/wrenly-uninstall-reg*" "? reg HKEY_LOCAL_MACHINE/System/CurrentControlSet/Control/Session Manager|PendingFileRenameOperations=*")
restart() { wine_run wineboot -r >/dev/null 2>&1 || true; }
signed() { osslsigncode verify -CAfile "$d/c.pem" -in "$1" >/dev/null 2>&1; }  # program

#      case | installed | answer | exit | left behind: the case's own, as changes from before
while IFS='|' read -r case installs answer code left; do
  for p in $installs; do setup_install "" "$d/$p.exe" && expect "$case: $p installed" 0 "$run_exit"; done
  refused=$([ "$code" -le 3 ] && [ "$code" -ne 0 ] && echo 1) || true
  if [ -n "$refused" ] || [ "$case" = silently ]; then footprint "$d/installed"; fi
  [ "$case" != silently ] || expect_changes installed "$(changes "$d/before" "$d/installed")" "${asked[@]}"
  case $case in
    signed) expect "$case: its file" "$(cat "$WRENLY_WINE_PROJECTS/engine/alpha.txt")" "$(cat "$(app A)/alpha.txt")"
      # Its record lies beside it, so the installed uninstaller is still the signed program.
      check_that "$case: the installed uninstaller's signature holds" signed "$(app A)/uninstall.exe" ;;
    "a user's files") touch "$(app A)/notes.txt" "$menu/Wrenly Uninstall A/Mine.lnk" ;;
    "a damaged record") cp "$(app A)/uninstall.exe" "$d/kept.exe" && truncate -s -1 "$(app A)/uninstall.exe" ;;
    "a second instance")
      drive_until "$asking" start "$(winpath "$(app A)/uninstall.exe")" "$S" wait-dialog 20 "$S" wait-file "$held_win" 180 \
        "$S" press No "$S" wait-exit 20 ;;
  esac
  ends=$([ "$case" = "a copy that ends" ] && echo 1) || true
  [ -z "$ends" ] || rm -f "$reglog"
  HOLD=$([ "$code" = 3010 ] && echo "$(app A)/alpha.txt") WRENLY_SELFREG_ENDS=$ends uninstall "$(app A)" "$answer"
  expect "$case: exit" "$code" "$run_exit"
  case $case in
    "a second instance")
      run=$(drive start "$(winpath "$(app A)/uninstall.exe")" /Q "$S" expect-no-window 20 "$S" wait-exit 20 2>&1 |
        tr -d '\r') || true
      expect "$case: with /Q, 1618 as deployment tools read it" "no-window|exit 1618" \
        "$(grep -E '^(no-window|window|exit)' <<<"$run" | paste -sd '|')"
      drive_resume && expect "$case: the first one answered No" "exit 1" "$(grep '^exit' <<<"$run")" ;;
    "a file in use") expect "$case: there until the restart" yes "$([ -f "$(app A)/alpha.txt" ] && echo yes)" ;;
    "through its windows") expect "$case: its windows" "$asking|pressed Yes|$removed|pressed OK|exit 0|descendants-ended" \
      "$(paste -sd'|' <<<"$run")" ;;
    "a shared library") expect "$case: kept for the other product" "REG_DWORD 0x1" "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' "$shared")"
      uninstall "$(app B)"
      expect "$case: the other product's exit" 0 "$run_exit" ;;
    silently) expect "$case: unregistered" unregister "$(tail -1 "$reglog")" ;;
    "a copy that ends") expect "$case: the original went on after the step it ended in" unregister "$(cat "$reglog")" ;;
  esac
  if [ -n "$refused" ]; then
    footprint "$d/now"
    expect "$case: nothing removed" "" "$(changes "$d/installed" "$d/now")"
    [ -f "$d/kept.exe" ] && mv "$d/kept.exe" "$(app A)/uninstall.exe"
    uninstall "$(app A)"
    expect "$case: then silently" 0 "$run_exit"
  fi
  # Where the copy ended, the original finished the work and goes at the restart.
  [ -n "$ends" ] || expect "$case: the uninstaller gone at once" "" "$(ls "$(app A)/uninstall.exe" 2>/dev/null)"
  [ "$code" != 3010 ] && [ -z "$ends" ] || restart
  footprint "$d/now"
  expect "$case: nothing left but its own" "${left//|/$'\n'}" \
    "$(changes "$d/before" "$d/now" | while IFS= read -r line; do matches "$line" "${copies[@]}" || echo "$line"; done)"
  rm -rf "$(app A)" "$menu/Wrenly Uninstall A"
done <<ROWS
silently|A||0|
through its windows|A|Yes|0|
answered No|A|No|1|
a second instance|A||2|
a damaged record|A||3|
a user's files|A||0|+ file ./Program Files/Wrenly Uninstall A|+ file ./Program Files/Wrenly Uninstall A/notes.txt|+ file $m/Wrenly Uninstall A|+ file $m/Wrenly Uninstall A/Mine.lnk
a file in use|A||3010|
a copy that ends|A||4|
two records in one uninstaller|A C||0|
a shared library|A B||0|
signed|S||0|
ROWS
restart
rm -rf "${reglog%/*}"
footprint "$d/now"
expect "after the restart: not even the copies left" "" "$(changes "$d/before" "$d/now")"
cases_done
