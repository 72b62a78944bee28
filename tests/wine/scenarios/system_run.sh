#!/usr/bin/env bash
# Programs and a document a package marks to run, started by the real setup
# program at their moments (projects/run.toml). The programs are the
# recorder, which logs "name|quoted or bare|arguments|folder"; C:\Program.exe,
# the recorder too, would log if a path were cut at a blank (the temporary
# folder has one). Then a start from a CD-ROM, whose temporary copy installs,
# and a file in use that leaves items for the run after the restart.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

recorder=$(win_dir)/tests/wine/canary/recorder.exe
[ -f "$recorder" ] || skip "the recorder is not built ($recorder)"
d=$(scratch_dir sysrun) c=$WINEPREFIX/drive_c log=$WINEPREFIX/drive_c/wt/run.log
tmp=$c/Program\ Files/Run\ Temp
rm -rf "$tmp" && mkdir -p "$tmp" "$d/cd" "$d/later"
cp "$recorder" "$c/Program.exe" && cp "$recorder" "$d/viewer.exe"
restore() {
  for v in TEMP TMP; do reg_quiet add 'HKCU\Environment' /v $v /d "C:\\users\\$(id -un)\\Temp" /f; done
  reg_quiet delete 'HKCR\.xyz' /f && reg_quiet delete 'HKLM\Software\Wine\Drives' /v d: /f /reg:64
  rm -f "$c/Program.exe" "$WINEPREFIX/dosdevices/d:"
}
trap restore EXIT
for v in TEMP TMP; do wine_run reg add 'HKCU\Environment' /v $v /d 'C:\Program Files\Run Temp' /f >/dev/null; done
wine_run reg add 'HKCR\.xyz' /ve /d xyzfile /f >/dev/null
wine_run reg add 'HKCR\xyzfile\shell\open\command' /ve /d '"C:\wt\sysrun\viewer.exe" "%1" /x' /f >/dev/null
for s in app fromcd later; do
  out=$d/$s.exe
  [ $s = fromcd ] && out="$d/cd/my setup.exe"
  build_setup run.toml "$out" -D FOLDER="C:\\wt\\sysrun\\$s" -D RECORDER="$recorder"
done

# The log, sorted, once it holds n lines (15 s at most: programs not waited
# for may still be writing); what the recorder logs for programs installed
# in folder F; which of two programs logged first.
logged() {
  for _ in $(seq "$(scaled 150)"); do [ "$( { wc -l <"$log"; } 2>/dev/null || echo 0)" -ge "$1" ] && break; sleep 0.1; done
  tr -d '\r' <"$log" | sort | paste -sd ' '
}
lines() {  # F name...
  declare -A args=([k2]="$1" [k4]=four [next]="0 /s" [restart]="at restart" [viewer]="\"$1\\doc.xyz\" /x" [waited]=/slow)
  for n in "${@:2}"; do echo "$n.exe|quoted|${args[$n]:-}|$1$([ $n = restart ] && echo '\sub')"; done | sort | paste -sd ' '
}
first_of() { tr -d '\r' <"$log" | grep -m1 -o -e "^$1\.exe" -e "^$2\.exe"; }

rm -f "$log"
A='C:\wt\sysrun\app' L='C:\wt\sysrun\later'
run=$(drive start "$(winpath "$d/app.exe")" ";" wait-control 1000 20 ";" click 1 ";" wait-control 1014 60 ";" \
  click 1014 ";" click 1 ";" wait-control 100 10 ";" click 2 ";" wait-exit 30 2>&1 | tr -d '\r') || true
expect "each program and the document once, quoted, in its folder" \
  "$(lines "$A" waited after next restart k2 viewer k3 k4)" "$(logged 8)"
for pair in "waited after" "waited k2" "k2 k3" "k3 k4"; do
  expect "${pair% *} (waited for) before ${pair#* }: install, finish page, end, on request" \
    "${pair% *}.exe" "$(first_of $pair)"
done
rm -f "$log"
setup_install "" "$d/app.exe" /N
expect "/N: no program on request" "0 $(lines "$A" waited after next restart k2 k3)" "$run_exit $(logged 7)"

# D: is a CD-ROM drive holding "my setup.exe". Wine's drive types are read
# from the 64-bit view, which a 32-bit reg.exe reaches only when told so.
rm -f "$log"
ln -sfn "$d/cd" "$WINEPREFIX/dosdevices/d:"
wine_run reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f /reg:64 >/dev/null
# The new server's first program starts Wine's services, which keep its
# output open: not one whose output is read.
"$WRENLY_WINESERVER" -k; "$WRENLY_WINESERVER" -w; "$WRENLY_WINESERVER" -p </dev/null >/dev/null 2>&1
wine_run reg query 'HKLM\Software\Wine\Drives' /reg:64 >/dev/null 2>&1 || true
# The program started waits for its copy, so whoever started it waits for
# the whole installation and reads its exit code.
drive start 'D:\my setup.exe' ";" wait-exit 120 >"$d/original.lines" 2>&1 &
original=$!
run=$(drive adopt WrenlyClass 20 ";" wait-control 1000 20 ";" \
  click 1 ";" wait-control 1046 60 ";" click 1 ";" wait-control 100 10 ";" click 2 ";" wait-exit 30 2>&1 |
  tr -d '\r') || true
wait "$original" || true
read_layout "$d/cd/my setup.exe"
expect "CD-ROM: the start hands over to the copy, which installs from the medium, and ends with it" \
  "adopted class=\"WrenlyClass\"|exit 0|original exit 0 payload $data_start" \
  "$(grep -E '^(exit|adopted)' <<<"$run" | paste -sd '|')|original $(tr -d '\r' <"$d/original.lines" | grep '^exit') $(cmp -s "$WRENLY_WINE_PROJECTS/payload.txt" "$d/fromcd/held.txt" && echo payload) $(stat -c %s "$tmp/_inst1.exe")"
expect "CD-ROM: its programs, none cut at a blank" \
  "$(lines 'C:\wt\sysrun\fromcd' waited after next restart k2 k3 k4)" "$(logged 7)"
expect "CD-ROM: the copy goes at the restart" 1 "$(pending | grep -cF 'Run Temp\_inst1.exe')"

# held.txt in use: a restart is needed.
rm -f "$log"
printf held >"$d/later/held.txt"
HOLD=$d/later/held.txt RESTART=1 setup_install "" "$d/later.exe"
expect "restart: exit -2, what waits for it has not run" "-2 $(lines "$L" waited after next k2)" \
  "$run_exit $(logged 4)"
expect "restart: the copy registered, quoted, with the type" \
  "REG_SZ \"C:\Program Files\Run Temp\_inst2.exe\" /B1 /DEL" \
  "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' OrinLaunch000)"
rm -f "$log"
wine_run wineboot -r >/dev/null 2>&1 || true
expect "after the restart: the waiting items, the file in place, the first copy gone" \
  "$(lines "$L" restart k3 k4) payload _inst2.exe" "$(logged 3) $(cmp -s "$WRENLY_WINE_PROJECTS/payload.txt" "$d/later/held.txt" && echo payload) $(ls "$tmp")"
wine_run wineboot -r >/dev/null 2>&1 || true
expect "after the next restart: the second copy gone too" "" "$(ls "$tmp")"

cases_done
