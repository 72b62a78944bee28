#!/usr/bin/env bash
# Unattended runs: /Q installs without a single window (the driver watches
# for one the whole run) and asks nothing, /QP shows the progress page alone; each exit code is the table's in
# docs/running-setup.md. /T names the folder, /I the type by number or name.
# The unattended answers: a folder is created, damaged data is refused (/R
# still accepts it).
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir quiet_install)
dest=$d/dest
mkdir -p "$d/data"
head -c 20000 /dev/urandom >"$d/data/victim.bin"
build_setup quiet.toml "$d/setup.exe" -D DATA="$d/data" -D FOLDER="$(winpath "$d/default")"
"$WRENLY_HOSTILE_PACKAGE" "$d/setup.exe" "$d/checksum.exe" wrong-checksum

existing="an older file the user keeps"
quiet() {  # name setup exit destination-holds files... -- options...
  local name=$1 setup=$2 result=$3 holds=$4
  shift 4
  local files=()
  while [ "$1" != -- ]; do files+=("$1"); shift; done
  shift
  rm -rf "$dest" "$d/default"
  mkdir -p "$dest" && printf '%s' "$existing" >"$dest/victim.bin"
  quietly "$d/$setup" "$@"
  expect "$name: no window, exit $result" "no-window|exit $result" "$(grep -E '^(no-window|window|exit)' <<<"$run" |
    paste -sd '|')"
  expect "$name: destination holds" "$holds" "$(holds "$dest/victim.bin" "$d/data/victim.bin" "$existing")"
  expect "$name: files" "${files[*]}" "$(cd "$dest" && ls | paste -sd ' ')"
  expect "$name: no temporary file" "" "$(temp_files "$dest")"
}
T="/T$(winpath "$dest")"

#     case                          setup          exit  destination  files installed          -- options
quiet "/Q /T, the first type"       setup.exe      0     package      payload.txt victim.bin  -- /Q "$T"
quiet "/I by number"                setup.exe      0     package      victim.bin              -- /Q /I2 "$T"
quiet "/I by name, any case"        setup.exe      0     package      victim.bin              -- /q "$T" /Iminimal
quiet "/I naming no type"           setup.exe      1639  existing     victim.bin              -- /Q /I3 "$T"
quiet "damaged data refused"        checksum.exe   21    existing     payload.txt victim.bin  -- /Q "$T"
quiet "damaged data with /R"        checksum.exe   0     package      payload.txt victim.bin  -- /Q/R "$T"
# /L: a line per action with its time, written as it goes.
rm -rf "$dest" && mkdir -p "$dest"
log=$d/log.txt
quietly "$d/setup.exe" /Q "$T" "/L$(winpath "$log")"
W=$(winpath "$dest")
expect "/L: the log names the type, the folder, each file and the exit code" \
  "install type: 1 (Full)|folder: $W\\|file written: $W\\payload.txt|file written: $W\\victim.bin|exit code: 0" \
  "$(tr -d '\r' <"$log" | cut -d' ' -f3- | grep -E '^(install type|folder|file|exit code)' | paste -sd '|')"
check_that "/L: every line starts with its time" test -z "$(tr -d '\r' <"$log" |
  grep -vE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} ')"

# /QP: the progress page alone, its Stop button off; nothing else shows and
# nothing is asked. A file slow enough to unpack that the page is seen, and
# one that packs so well that a single read unpacks to megabytes: the window
# must answer while they are written, not only between reads.
mkdir -p "$d/big" && { yes "a line of text that keeps the progress page up a while" || true; } |
  head -c 30000000 >"$d/big/victim.bin"
sed 's|^source = "${DATA}/victim.bin"$|&\ncompression = "bzip2"|' "$WRENLY_WINE_PROJECTS/quiet.toml" >"$d/big.toml"
cp "$WRENLY_WINE_PROJECTS/payload.txt" "$d/"
grep -q bzip2 "$d/big.toml" || fail "the /QP project has no bzip2 entry"
build_setup "$d/big.toml" "$d/big.exe" -D DATA="$d/big" -D FOLDER="$(winpath "$d/default")"
rm -rf "$dest"
check_drive "/QP: the progress page, no Stop, then the end" \
  "control id=1009 class=\"msctls_progress32\" text=\"\"|state id=2 visible=1 enabled=0 checked=0|exit 0" \
  start "$(winpath "$d/big.exe")" /QP "$T" "$S" wait-control 1009 60 "$S" state 2 "$S" wait-exit 120
check_that "/QP: installed" cmp -s "$d/big/victim.bin" "$dest/victim.bin"

rm -rf "$d/default"
quietly "$d/setup.exe" /Q
expect "without /T: the project's folder, created" "no-window|exit 0|payload.txt victim.bin" \
  "$(grep -E '^(no-window|window|exit)' <<<"$run" | paste -sd '|')|$(ls "$d/default" 2>/dev/null | paste -sd ' ')"

cases_done
