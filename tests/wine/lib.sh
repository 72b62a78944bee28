# Shared shell code of the Wine tests. Sourced by setup.sh and every
# scenario. ctest passes the locations through the environment:
#   WRENLY_WINE_STATE  folder of the run's state (display, flavour, pids)
#   WRENLY_WINE_PREFIXES  the test prefixes' folder: one prefix per kind
#                      (WRENLY_PREFIX_KIND from the caller: win64, the default,
#                      or win32)
#   WRENLY_WIN32_DIR, WRENLY_WIN64_DIR  the two Windows build folders
#   WRENLY_TOOL        the native wrenly tool (empty when not built)
#   WRENLY_ARTEFACTS   where screenshots go (PNG files)
set -euo pipefail

# shellcheck source=../../scripts/wine-env
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env"
export WINEDEBUG=-all
: "${WRENLY_WINE_STATE:?run through ctest}"
: "${WRENLY_WINE_PREFIXES:?run through ctest}"
export WINEPREFIX=$WRENLY_WINE_PREFIXES/$wrenly_prefix_kind
: "${WRENLY_WIN32_DIR:=}" "${WRENLY_WIN64_DIR:=}" "${WRENLY_TOOL:=}"
: "${WRENLY_ARTEFACTS:=$WRENLY_WINE_STATE/../artefacts}"
state_file="$WRENLY_WINE_STATE/state.sh"

skip() { echo "SKIPPED: $*"; exit 77; }
# A count of polls stretched as the driver's waits are (WRENLY_TIME_SCALE, a
# whole number: an emulated machine is many times slower).
scaled() { echo $(($1 * ${WRENLY_TIME_SCALE:-1})); }
fail() { echo "FAILED: $*" >&2; exit 1; }

# Loads what setup.sh decided; skips when no flavour of Wine works here.
wine_require() {
  [ -f "$state_file" ] || skip "the Wine set-up test did not run (state file $state_file missing)"
  # shellcheck source=/dev/null
  . "$state_file"
  export DISPLAY
  [ "$WRENLY_FLAVOUR" != none ] || skip "$WRENLY_SKIP_REASON"
  echo "wine flavour: $WRENLY_FLAVOUR, prefix: $(prefix_words "$WRENLY_FLAVOUR")"
}

prefix_words() {  # flavour
  case $wrenly_prefix_kind/$1 in
    win32/*) echo "win32 (a 32-bit Windows)" ;;
    win64/win32) echo "win64 (a 64-bit Windows: the 32-bit programs run under WoW64)" ;;
    *) echo "win64 (a 64-bit Windows)" ;;
  esac
}

wine_run() { "$WRENLY_WINE_LOADER" "$@" </dev/null; }  # program args...
win_dir() { if [ "$WRENLY_FLAVOUR" = win32 ]; then echo "$WRENLY_WIN32_DIR"; else echo "$WRENLY_WIN64_DIR"; fi; }
driver_exe() { echo "$(win_dir)/tests/wine/driver/wrenly-driver.exe"; }
stub_exe() { echo "$(win_dir)/installer/wrenly-stub.exe"; }
uninstaller_exe() { echo "$(win_dir)/uninstaller/wrenly-uninstall.exe"; }

# A fresh scratch folder on C: for one scenario; prints its unix path.
scratch_dir() {  # name
  local d="$WINEPREFIX/drive_c/wt/$1"
  rm -rf "$d"
  mkdir -p "$d"
  echo "$d"
}

S=";"  # between the driver's steps

# Runs the driver; its lines go to stdout and its status is returned (0:
# every step saw what it expects). The BMP files it wrote to the artefact
# folder become 24-bit PNGs, so pixel checks read exactly what was on the
# screen; one that cannot be converted stays for a look.
drive() {  # steps...
  local status=0 bmp
  wine_run "$(driver_exe)" "$@" || status=$?
  for bmp in "$WRENLY_ARTEFACTS"/*.bmp; do
    if [ -f "$bmp" ] && convert "$bmp" "PNG24:${bmp%.bmp}.png"; then rm -f "$bmp"; fi
  done
  return "$status"
}

# A driver run in the background that holds at a step "wait-file $held_win
# SECONDS": drive_until returns once the run has printed LINE (the scenario
# fails with its lines if it does not within a minute); drive_resume then
# lets it go on and sets $run to all its lines.
held=$WINEPREFIX/drive_c/wt/held held_win='C:\wt\held'
drive_until() {  # line steps...
  local _
  rm -f "$held" "$held.lines"
  drive "${@:2}" >"$held.lines" 2>&1 &
  held_driver=$!
  for _ in $(seq "$(scaled 600)"); do
    tr -d '\r' <"$held.lines" | grep -qxF -- "$1" && return 0
    sleep 0.1
  done
  fail "the driver never printed $1: $(cat "$held.lines")"
}
drive_resume() { touch "$held"; wait "$held_driver" || true; run=$(tr -d '\r' <"$held.lines"); }

# Builds a setup program from a project of tests/wine/projects (or one at an
# absolute path) with the flavour's stub.
build_setup() {  # project.toml output.exe [-D NAME=VALUE]...
  if [ -z "$WRENLY_TOOL" ] || [ ! -x "$WRENLY_TOOL" ]; then skip "the wrenly tool is not built"; fi
  [ -f "$(stub_exe)" ] || skip "the Installer stub is not built ($(stub_exe))"
  [ -f "$(uninstaller_exe)" ] || skip "the uninstaller is not built ($(uninstaller_exe))"
  local project=$1 out=$2
  shift 2
  [ "${project#/}" != "$project" ] || project=$WRENLY_WINE_PROJECTS/$project
  local log
  log=$("$WRENLY_TOOL" build "$project" -o "$out" --stub "$(stub_exe)" --uninstaller "$(uninstaller_exe)" "$@" 2>&1) ||
    fail "wrenly build $project failed: $log"
}

# Sets data_start and data_size (where the DataArea lies) and zblock_mid (the
# middle of the first compressed block) from what the inspector prints, so no
# scenario carries an offset of its own.
read_layout() {  # setup.exe
  local out
  out=$("$WRENLY_TOOL" inspect "$1" | awk '
    /^  at [0-9]+:/ { at = $2 + 0; if (z == 1) { print "zblock_mid=" int((from + at) / 2); z = 2 } }
    /^  at [0-9]+:.*flags 0x0001/ && !z { from = at; z = 1 }
    /^data area: / { print "data_size=" $3; print "data_start=" $NF }') || fail "no package layout in $1"
  eval "$out"
}

# Overwrites bytes of a file in place.
patch_bytes() {  # file offset hex-bytes (e.g. "ff ff 03")
  local file=$1 offset=$2 hex=$3 esc="" b
  for b in $hex; do esc+="\\x$b"; done
  # shellcheck disable=SC2059
  printf "$esc" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
}

# Files below drive_c (the scenarios' scratch folders aside) and every key
# and value of HKLM and HKCU, one line each: what a package may leave in the
# prefix.
footprint() {  # out
  local reg=$WINEPREFIX/drive_c/wt/footprint
  mkdir -p "${reg%/*}"
  wine_run "$(driver_exe)" save-registry "$(winpath "$reg")" >/dev/null 2>&1 || fail "the driver could not save the registry"
  {
    (cd "$WINEPREFIX/drive_c" && find . -path ./wt -prune -o -print | sed 's/^/file /')
    python3 - "$reg.machine" HKEY_LOCAL_MACHINE "$reg.user" HKEY_CURRENT_USER <<'PY'
import re, sys
# Wine's own text form: [key] lines, then "name"=data or @=data; strings
# quoted with \\, \" and \xHHHH escaped (the rest stays as written, so a
# value never spans lines), long data continued after a backslash.
escape = re.compile(r'\\(x[0-9a-fA-F]{1,4}|.)')
def plain(m):
    c = m.group(1)
    return chr(int(c[1:], 16)) if c[0] == "x" else c if c in '"\\[]' else m.group(0)
def text(s):  # UTF-16 units, surrogate pairs among them
    return escape.sub(plain, s).encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")
value = re.compile(r'(@|"((?:[^"\\]|\\.)*)")=(str\(\w+\):)?(.*)')
keys = set()
for path, root in zip(sys.argv[1::2], sys.argv[2::2]):
    key = None
    for line in open(path, encoding="utf-8").read().replace("\\\n  ", "").splitlines():
        if line.startswith("["):
            key = root + "\\" + text(line[1:line.rindex("]")])
            # A key is saved only when it holds values or no subkey: the
            # ones between are named by their subkeys' paths.
            parts = key.split("\\")
            for n in range(2, len(parts) + 1): keys.add("\\".join(parts[:n]))
        elif key and (m := value.match(line)):
            name = text(m.group(2) or "")
            data = m.group(4)
            if data.startswith('"'): data = (m.group(3) or "") + text(data[1:-1])
            print(f"reg {key}|{name}={data}")
for key in keys: print(f"reg {key}")
PY
  } | sort >"$1"
}

# The prefix before an installation whose round trip is checked (a restart
# inside it does all that is waiting for one): after the restart that work
# an earlier scenario left (a temporary copy to delete) would otherwise wait
# for, so that its work does not count as the round trip's.
footprint_before() {  # out
  wine_run wineboot -r >/dev/null 2>&1 || true
  footprint "$1"
}

# Whether a line matches one of the shell patterns, where a leading ?
# stands for either sign of a difference.
# shellcheck disable=SC2053
matches() { local p; for p in "${@:2}"; do [[ $1 == ${p/#\?/[+-]} ]] && return 0; done; return 1; }  # line patterns...

# What changed from one footprint to another: "+ file PATH" (below drive_c),
# "- reg KEY|NAME=DATA", "+ reg KEY", every backslash turned into a slash; Wine's own
# bookkeeping (the display and device keys it writes at a program start or
# a restart, the host's fonts, which it registers or not as it finds fonts
# of the same name in the prefix, and its cache of every font it has seen)
# left out.
wine_own=("? reg HKEY_LOCAL_MACHINE/Hardware/*" "? reg HKEY_LOCAL_MACHINE/System/CurrentControlSet/Hardware Profiles/*"
  "? reg HKEY_CURRENT_USER/Software/Wine/Fonts/Cache/*"
  "? reg HKEY_LOCAL_MACHINE/Software/*Microsoft/Windows NT/CurrentVersion/Fonts|*=Z:/usr/share/fonts/*"
  "? reg HKEY_LOCAL_MACHINE/System/CurrentControlSet/Control/"{Video,Class,DeviceClasses,ServiceCurrent}"[/|]*")
changes() {  # before after
  local line
  { diff "$1" "$2" || true; } | sed -n 's/^< /- /p; s/^> /+ /p' | tr '\\' / |
    while IFS= read -r line; do matches "$line" "${wine_own[@]}" || echo "$line"; done
}

# The cases of a table: each is counted and reported at once, a failure with
# what explains it; cases_done sums them up at the end.
cases_failed=0
cases_run=0
record() {  # name status(0: passed) explanation
  cases_run=$((cases_run + 1))
  if [ "$2" -eq 0 ]; then echo "ok   $1"; return 0; fi
  cases_failed=$((cases_failed + 1))
  printf 'FAIL %s\n%s\n' "$1" "$3"
}

# A case that runs the driver: its lines must be the expected ones ('|'
# separates them) and every step must see what it expects. The lines a
# timed-out wait adds ("  shown ...") are for the reader, not the comparison.
check_drive() {  # name expected steps...
  local name=$1 want=${2//|/$'\n'} actual status=0 errors ok=1
  shift 2
  errors=$(mktemp)
  actual=$(drive "$@" 2>"$errors" | tr -d '\r') || status=$?
  [ "$status" -eq 0 ] && [ "$(grep -v '^  shown ' <<<"$actual")" = "$want" ] && ok=0
  record "$name" "$ok" "  driver status $status, expected:
$(sed 's/^/    /' <<<"$want")
  actual:
$(sed 's/^/    /' <<<"$actual")
$(sed 's/^/  stderr: /' "$errors")"
  rm -f "$errors"
}

# A case that is a shell command rather than a driver run.
check_that() {  # name command...
  local ok=0
  "${@:2}" || ok=1
  record "$1" "$ok" "  failed: ${*:2}"
}

# A case that compares an observation with what it must be; the lines of
# the last setup_install ($run) explain a failure.
expect() {  # name expected actual
  local ok=0
  [ "$2" = "$3" ] || ok=1
  record "$1" "$ok" "  expected: $2
  actual:   $3
$(sed 's/^/  driver: /' <<<"${run:-}")"
}

cases_done() {
  echo "$cases_run cases, $cases_failed failed"
  [ "$cases_failed" -eq 0 ]
}
