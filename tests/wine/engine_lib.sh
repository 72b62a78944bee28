# Shell helpers of the engine scenarios, on top of lib.sh: an installation by
# the real setup program through the driver, and what it leaves.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Installs with the real setup program (see the README); ANSWERS are
# comma-separated captions or Enter, "" for none. The finish page alone has
# a header (1046). Sets $run (the driver's lines) and $run_exit.
setup_install() {  # answers setup.exe [options...]
  local answers=$1 setup=$2 a answer
  shift 2
  local steps=()
  [ -n "${HOLD:-}" ] && steps+=(hold "$(winpath "$HOLD")" ";")
  steps+=(start "$(winpath "$setup")" "$@" ";" wait-control 1000 20 ";" click 1)
  IFS=, read -r -a a <<<"$answers"
  for answer in "${a[@]}"; do
    steps+=(";" wait-dialog 20 ";")
    if [ "$answer" = Enter ]; then steps+=(enter); else steps+=(press "$answer"); fi
  done
  steps+=(";" wait-control 1046 60 ";" text 1000 ";" click 1 ";" wait-control 100 10 ";" click 2)
  [ -n "${RESTART:-}" ] && steps+=(";" wait-dialog 10 ";" press Cancel)
  steps+=(";" wait-exit 30)
  run=$(drive "${steps[@]}" 2>&1 | tr -d '\r') || true
  run_exit=$(sed -n 's/^exit //p' <<<"$run")
}

# Runs the uninstaller of an installation folder: with /S (no window may
# show), or answering its question (Yes: then its closing message with OK);
# waits for the copy that does its work too. Sets $run and $run_exit;
# HOLD=FILE keeps FILE open meanwhile.
uninstall() {  # folder [answer]
  local steps=()
  [ -n "${HOLD:-}" ] && steps+=(hold "$(winpath "$HOLD")" "$S")
  steps+=(start "$(winpath "$1/uninstall.exe")")
  case ${2:-} in
    "") steps+=(/S "$S" expect-no-window 60) ;;
    Yes) steps+=("$S" wait-dialog 20 "$S" press Yes "$S" wait-dialog 60 "$S" press OK) ;;
    *) steps+=("$S" wait-dialog 20 "$S" press "$2") ;;
  esac
  run=$(drive "${steps[@]}" "$S" wait-exit 30 "$S" wait-descendants 30 2>&1 | tr -d '\r') || true
  run_exit=$(sed -n 's/^exit //p' <<<"$run")
}

# Runs a program that must show no window the whole run (a quiet setup
# program or uninstaller), and waits for what it started. Sets $run and
# $run_exit.
quietly() {  # program [options...]
  run=$(drive start "$(winpath "$1")" "${@:2}" "$S" expect-no-window 60 "$S" wait-exit 10 "$S" wait-descendants 30 \
    2>&1 | tr -d '\r') || true
  run_exit=$(sed -n 's/^exit //p' <<<"$run")
}

# A case per pattern: one of the changes (lines of `changes`) matches it.
expect_changes() {  # name changes patterns...
  local want line hit
  for want in "${@:3}"; do
    hit=1 && while IFS= read -r line; do matches "$line" "$want" && hit=0 && break; done <<<"$2"
    record "$1: $want" "$hit" "  no such difference"
  done
}

# After an uninstallation: the restart that takes its copies away, then
# the prefix must be as it was before the installation.
expect_round_trip() {  # name footprint-before
  wine_run wineboot -r >/dev/null 2>&1 || true
  footprint "$2.after"
  expect "$1" "" "$(changes "$2" "$2.after")"
}

# The texts of the message boxes the last setup_install met, one per line.
dialog_texts() { sed -n 's/^dialog caption="[^"]*" text="\(.*\)"$/\1/p' <<<"$run"; }

# What a destination holds after a run: the package's bytes, the user's
# older text, or something else.
holds() {  # file package-copy older-text
  if cmp -s "$1" "$2"; then echo package
  elif [ "$(cat "$1" 2>/dev/null)" = "$3" ]; then echo existing
  else echo other; fi
}

# Temporary files the engine leaves beside destinations (".$$A", ...).
temp_files() { find "$1" -name '*.$$?' 2>/dev/null | sort; }  # folder

# Where the system folder of the program's own bitness lies in the prefix:
# a 32-bit program's system32 is syswow64 in a 64-bit prefix.
system_dir() {
  local c=$WINEPREFIX/drive_c/windows
  if [ "$WRENLY_FLAVOUR" = win32 ] && [ -d "$c/syswow64" ]; then echo "$c/syswow64"; else echo "$c/system32"; fi
}

# The registry view of the program's own bitness, for reg.
reg_view() { if [ "$WRENLY_FLAVOUR" = win32 ]; then echo /reg:32; else echo /reg:64; fi; }

# A registry value of the prefix as "TYPE DATA", through reg query (which
# puts four spaces between name, type and data); empty when it is absent.
reg_value() {  # key value
  { wine_run reg query "$1" /v "$2" "$(reg_view)" 2>/dev/null || true; } | tr -d '\r' |
    name=$2 awk -F '    ' '$2 == ENVIRON["name"] { print $3 " " $4; exit }'
}

# reg for a scenario's set-up or clean-up: quiet, as the checks see what it did.
reg_quiet() { wine_run reg "$@" >/dev/null 2>&1 || true; }

# The renames the prefix holds for the next restart.
session='HKLM\System\CurrentControlSet\Control\Session Manager'
pending() { reg_value "$session" PendingFileRenameOperations; }
forget_pending() { reg_quiet delete "$session" /v PendingFileRenameOperations /f "$(reg_view)"; }
