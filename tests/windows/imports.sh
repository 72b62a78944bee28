#!/usr/bin/env bash
# Every Windows program we ship or embed may import only DLLs that every
# supported Windows has. A DLL of a compiler's runtime (libgcc_s_dw2-1.dll,
# libstdc++-6.dll, libwinpthread-1.dll) is missing on the customer's machine
# and the program does not start at all, so the test names the DLL and the
# functions taken from it. The Installer, run from a downloads folder, imports
# only DLLs that Windows always takes from the system folder, and so does the
# uninstaller, and so does wrenly.exe, which is linked fully static.
#   imports.sh WIN32_DIR WIN64_DIR WINTOOL_DIR
set -euo pipefail
win32=$1 win64=$2 wintool=$3

programs=(installer/wrenly-stub.exe uninstaller/wrenly-uninstall.exe examples/demo/app/demo.exe)
system=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll msvcrt.dll comdlg32.dll "
allowed="$system comctl32.dll version.dll "

# objdump prints each imported DLL's name, then its functions one per line
# (vma, hint, name), then a blank line.
imports() {  # objdump program -> "dll function" lines
  "$1" -p "$2" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t/ { print dll, $NF; next }
    dll != "" && /^$/ { dll = "" }'
}

failed=0
for flavour in win32 win64 wintool; do
  dir=$win32 objdump=i686-w64-mingw32-objdump
  if [ "$flavour" = win64 ]; then dir=$win64 objdump=x86_64-w64-mingw32-objdump; fi
  if [ "$flavour" = wintool ]; then dir=$wintool objdump=x86_64-w64-mingw32-objdump programs=(tool/wrenly.exe); fi
  for program in "${programs[@]}"; do
    exe=$dir/$program
    if [ ! -f "$exe" ]; then
      echo "FAIL $flavour $program: not built ($exe)"
      failed=1
      continue
    fi
    list=$(imports "$objdump" "$exe")
    if [ -z "$list" ]; then
      echo "FAIL $flavour $program: no import table read"
      failed=1
      continue
    fi
    ok=$allowed
    case $program in installer/*|uninstaller/*|tool/*) ok=$system ;; esac
    bad=$(awk -v ok="$ok" 'index(ok, " " $1 " ") == 0 { f[$1] = f[$1] " " $2 }
      END { for (d in f) print d ":" f[d] }' <<<"$list")
    if [ -n "$bad" ]; then
      echo "FAIL $flavour $program imports DLLs outside its list ($ok):"
      sed 's/^/  /' <<<"$bad"
      failed=1
    else
      echo "ok   $flavour $program: $(cut -d' ' -f1 <<<"$list" | sort -u | tr '\n' ' ')"
    fi
  done
done
exit "$failed"
