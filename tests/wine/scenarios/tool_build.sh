#!/usr/bin/env bash
# wrenly.exe, the tool's Windows build, under 64-bit Wine: the demo, from a
# folder whose name no ANSI code page holds and with its readme found by a
# wildcard in backslashes as "café.txt", is byte for byte what the Linux tool
# builds (twice: the second replaces the first, signed); a refused project
# ends with the same code and message, file and line; Ctrl-C leaves nothing
# behind; inspect --verify and --version say the same.
. "$(dirname "$0")/../lib.sh"
wine_require
wintool=${WRENLY_WINTOOL_DIR:-}/tool/wrenly.exe
[ -f "$wintool" ] || skip "the wintool flavour is not built ($wintool)"
[ -n "$WRENLY_TOOL" ] && [ -x "$WRENLY_TOOL" ] || skip "the wrenly tool is not built"
stub=$WRENLY_WIN32_DIR/installer/wrenly-stub.exe uninstaller=$WRENLY_WIN32_DIR/uninstaller/wrenly-uninstall.exe
bin=$WRENLY_WIN32_DIR/examples/demo/app
[ -f "$stub" ] && [ -f "$uninstaller" ] && [ -f "$bin/demo.exe" ] || skip "the win32 flavour is not built"
"$wrenly_wine64" --version >/dev/null 2>&1 || skip "64-bit Wine does not start here"
[ "$wrenly_prefix_kind" = win64 ] || skip "wrenly.exe is a 64-bit program, which a 32-bit Windows cannot run"

d=$(scratch_dir tool_build)
src=$(dirname "$0")/../../../examples/demo
mkdir -p "$d/Ωmega/Ωdocs"
cp -p "$src"/*.toml "$src"/*.txt "$d/Ωmega/"
cp -p "$src/readme.txt" "$d/Ωmega/Ωdocs/café.txt"
sed -i 's/^source = "readme.txt"/source = "Ωdocs\\\\caf*.txt"/' "$d/Ωmega/demo.toml"
grep -qF 'Ωdocs\\caf*' "$d/Ωmega/demo.toml" || fail "the demo project has no readme source to rewrite"
wtool() { "$wrenly_wine64" "$wintool" "$@" </dev/null 2>"$d/err"; }  # stderr kept, without CRs
werr() { tr -d '\r' <"$d/err"; }
common=(--stub "$(winpath "$stub")" --uninstaller "$(winpath "$uninstaller")" -q)

# The second pass signs by copying: the signing files are made and the command
# started under the folder's name, and the bytes are those of the Linux
# build signed the same way (a signed uninstaller's record goes beside it).
for pass in first second; do
  sign=() linux=()
  [ "$pass" = first ] || sign=(--sign 'cmd /c copy /b {in} {out}') linux=(--sign 'cp {in} {out}')
  "$WRENLY_TOOL" build "$d/Ωmega/demo.toml" -o "$d/linux.exe" --stub "$stub" --uninstaller "$uninstaller" \
    -D DEMO_BIN="$bin" -q "${linux[@]}" || fail "the Linux build failed"
  status=0
  wtool build "$(winpath "$d/Ωmega/demo.toml")" -o "$(winpath "$d/Ωmega/setup.exe")" "${common[@]}" "${sign[@]}" \
    -D DEMO_BIN="$(winpath "$bin")" || status=$?
  expect "build $pass exit" 0 "$status"
  check_that "build $pass: same bytes as on Linux" cmp "$d/linux.exe" "$d/Ωmega/setup.exe"
done
# The inspector reads it back as on Linux, but for the line naming the file.
expect "inspect --verify" "$("$WRENLY_TOOL" inspect --verify "$d/linux.exe" | tail -n +2)" \
  "$(wtool inspect --verify "$(winpath "$d/Ωmega/setup.exe")" | tr -d '\r' | tail -n +2)"
check_that "no temporary file left" test "$(ls "$d/Ωmega" | grep -c tmp)" = 0

# Refused projects: a name that leaves its folder, a text the code page lacks,
# a code page Windows does not know (iconv and Windows word it the same way).
refused=(
  'name|[[files]]\nsource = "readme.txt"\nname = "..\\\\evil.txt"'
  'text|[texts]\n"finish.run_checkbox" = "Ω"\n[[files]]\nsource = "readme.txt"'
  'codepage|[setup]\ncodepage = 1\n[[files]]\nsource = "readme.txt"')
for row in "${refused[@]}"; do
  what=${row%%|*} bad=$d/Ωmega/bad-${row%%|*}.toml
  printf "[product]\nname = \"P\"\n${row#*|}\n" >"$bad"
  linux_status=0
  linux_err=$("$WRENLY_TOOL" build "$bad" -o "$d/bad.exe" --stub "$stub" --uninstaller "$uninstaller" 2>&1) ||
    linux_status=$?
  status=0
  wtool build "$(winpath "$bad")" -o "$(winpath "$d/bad.exe")" "${common[@]}" || status=$?
  expect "refused $what: exit of wrenly.exe, Linux" "1 1" "$status $linux_status"
  expect "refused $what: message" "${linux_err//"$bad"/$(winpath "$bad")}" "$(werr)"
  check_that "refused $what: no output" test ! -e "$d/bad.exe"
done

# Ctrl-C (SIGINT, which Wine hands the program as a console Ctrl-C) stops a
# build midway: exit 130, and none of its files is left.
mkdir "$d/int"
head -c 100000000 /dev/urandom >"$d/int/big.bin"
printf '[product]\nname = "P"\n[[files]]\nsource = "big.bin"\n' >"$d/int/p.toml"
"$wrenly_wine64" "$wintool" build "$(winpath "$d/int/p.toml")" "${common[@]:0:4}" </dev/null >/dev/null 2>"$d/err" &
for _ in $(seq "$(scaled 300)"); do grep -q '^compressing .*%' "$d/err" && break; sleep 0.05; done
kill -INT $!
status=0 && wait $! || status=$?
expect "Ctrl-C: exit" 130 "$status"
expect "Ctrl-C: files left" "big.bin p.toml" "$(ls "$d/int" | tr '\n' ' ' | sed 's/ $//')"
rm -f "$d/int/big.bin"

expect "--version" "$("$WRENLY_TOOL" --version)" "$(wtool --version | tr -d '\r')"
cases_done
