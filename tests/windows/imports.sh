#!/usr/bin/env bash
# Every Windows program we ship or embed may import only DLLs that every
# supported Windows has. A DLL of a compiler's runtime (libgcc_s_dw2-1.dll,
# libstdc++-6.dll, libwinpthread-1.dll) is missing on the customer's machine
# and the program does not start at all, so the test names the DLL and the
# functions taken from it. The Installer, run from a downloads folder, imports
# only DLLs that Windows always takes from the system folder, and so does the
# uninstaller, and so does wrenly.exe, which is linked fully static.
#   imports.sh WIN32_DIR WIN64_DIR WINTOOL_DIR IMAGES  (the Installer images' names, ;-separated)
set -euo pipefail
system=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll msvcrt.dll comdlg32.dll "
failed=0

# objdump prints each imported DLL's name, then its functions one per line
# (vma, hint, name), then a blank line.
check() {  # flavour objdump dir program allowed-DLLs
  local exe=$3/$4 list bad
  [ -f "$exe" ] || { echo "FAIL $1 $4: not built ($exe)"; failed=1; return; }
  list=$("$2" -p "$exe" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t/ { print dll, $NF; next }
    dll != "" && /^$/ { dll = "" }')
  [ -n "$list" ] || { echo "FAIL $1 $4: no import table read"; failed=1; return; }
  bad=$(awk -v ok="$5" 'index(ok, " " $1 " ") == 0 { f[$1] = f[$1] " " $2 }
    END { for (d in f) print d ":" f[d] }' <<<"$list")
  if [ -n "$bad" ]; then
    echo "FAIL $1 $4 imports DLLs outside its list ($5):"
    sed 's/^/  /' <<<"$bad"
    failed=1
  else
    echo "ok   $1 $4: $(cut -d' ' -f1 <<<"$list" | sort -u | tr '\n' ' ')"
  fi
}

for flavour in win32:i686:$1 win64:x86_64:$2; do
  IFS=: read -r name arch dir <<<"$flavour"
  # shellcheck disable=SC2046  # one word per image
  for program in $(printf 'installer/%s.exe ' ${4//;/ }) uninstaller/wrenly-uninstall.exe; do
    check "$name" "$arch-w64-mingw32-objdump" "$dir" "$program" "$system"
  done
  check "$name" "$arch-w64-mingw32-objdump" "$dir" examples/demo/app/demo.exe "$system comctl32.dll version.dll "
done
check wintool x86_64-w64-mingw32-objdump "$3" tool/wrenly.exe "$system"
exit "$failed"
