# Shell helpers of the engine scenarios, on top of lib.sh: running the engine
# test program through the driver and reading its report.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

engine_exe() { echo "$(win_dir)/tests/wine/engine/wrenly-engine-test.exe"; }

engine_require() {
  wine_require
  [ -f "$(engine_exe)" ] || skip "the engine test program is not built ($(engine_exe))"
}

# The report of the last run, and what the driver saw of it.
engine_report=
engine_driver=

# Installs through the driver: answers each message box the run shows with
# the next of ANSWERS (comma-separated button captions; "" for none).
# Leaves the report in $engine_report and the driver's lines in $engine_driver.
engine_install() {  # answers setup.exe [engine-args-before-setup...] [-- installer-options...]
  local answers=$1 setup=$2
  shift 2
  local before=() after=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do before+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  after=("$@")
  local report
  report=$(mktemp "$WINEPREFIX/drive_c/wt/report.XXXXXX")
  local steps=(start "$(engine_exe)" --report "$(winpath "$report")" "${before[@]}" "$(winpath "$setup")" "${after[@]}")
  local a
  IFS=, read -r -a a <<<"$answers"
  local answer
  # press waits for the box it answered to go, so the next wait finds the next box.
  for answer in "${a[@]}"; do
    steps+=(";" wait-dialog 20 ";" press "$answer")
  done
  steps+=(";" wait-exit 60)
  engine_driver=$(drive "${steps[@]}" 2>&1 | tr -d '\r') || true
  engine_report=$(tr -d '\r' <"$report")
  rm -f "$report"
}

# A value of the report ("result", "restart-needed", "entry NAME status", ...).
report_value() {  # key...
  printf '%s\n' "$engine_report" |
    key="$* " awk 'index($0, ENVIRON["key"]) == 1 { print substr($0, length(ENVIRON["key"]) + 1); exit }'
}

# The dialog texts the driver met, one per line.
dialog_texts() { printf '%s\n' "$engine_driver" | sed -n 's/^dialog caption="[^"]*" text="\(.*\)"$/\1/p'; }

# One table row: compare an observation with what the case expects.
expect() {  # name expected actual
  cases_run=$((cases_run + 1))
  if [ "$2" = "$3" ]; then
    echo "ok   $1"
  else
    cases_failed=$((cases_failed + 1))
    echo "FAIL $1"
    echo "  expected: $2"
    echo "  actual:   $3"
    echo "  report:"; printf '%s\n' "$engine_report" | sed 's/^/    /'
    echo "  driver:"; printf '%s\n' "$engine_driver" | sed 's/^/    /'
  fi
}

# Temporary files the engine leaves beside destinations (".$$A", ...).
temp_files() {  # folder
  find "$1" -name '*.$$?' 2>/dev/null | sort
}

# Where the system folder of the program's own bitness lies in the prefix:
# a 32-bit program's system32 is syswow64 in a 64-bit prefix.
system_dir() {
  local c=$WINEPREFIX/drive_c/windows
  if [ "$WRENLY_FLAVOUR" = win32 ] && [ -d "$c/syswow64" ]; then echo "$c/syswow64"; else echo "$c/system32"; fi
}

# The registry view of the program's own bitness, for reg.
reg_view() { if [ "$WRENLY_FLAVOUR" = win32 ]; then echo /reg:32; else echo /reg:64; fi; }

# A registry value of the prefix as "TYPE DATA", through reg query; empty
# when it is absent.
reg_value() {  # key value
  { wine_run reg query "$1" /v "$2" "$(reg_view)" 2>/dev/null || true; } | tr -d '\r' |
    name=$2 awk '{ name = ENVIRON["name"]; line = $0; sub(/^ +/, "", line) }
      index(line, name "    ") == 1 {
        rest = substr(line, length(name) + 5); sub(/^ +/, "", rest)
        type = rest; sub(/ .*/, "", type); data = rest; sub(/^[A-Z_]+ +/, "", data)
        if (rest == type) data = ""
        print type " " data; exit }'
}
