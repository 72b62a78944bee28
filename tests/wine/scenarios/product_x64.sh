#!/usr/bin/env bash
# A 64-bit product installed by the 32-bit setup program. On 64-bit Windows
# its files, system-folder library, registry values, shared count and
# uninstall entry are the 64-bit side's (nothing in Program Files (x86),
# SysWOW64 or WOW6432Node), its library registers and unregisters through
# the 64-bit tool, and the uninstaller takes all of it away again. On 32-bit
# Windows it is refused before any page, and nothing changes.
. "$(dirname "$0")/../engine_lib.sh"
wine_require
selfreg=$WRENLY_WIN64_DIR/tests/wine/components/selfreg.dll
[ -f "$selfreg" ] || skip "the 64-bit components are not built ($selfreg)"

d=$(scratch_dir product_x64)
c=$WINEPREFIX/drive_c
app=$c/Program\ Files/Wrenly\ X64
reglog=$c/windows/wrenly-x64-reg/selfreg.dll.log
build_setup x64.toml "$d/setup.exe" -D SELFREG="$selfreg"
# As Windows has it: the key of the shared counts exists in both views.
reg_quiet add 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /f /reg:64
footprint_before "$d/before"

if [ ! -d "$c/windows/syswow64" ]; then
  echo "a 32-bit prefix: the product is refused"
  quietly "$d/setup.exe" /Q
  expect "/Q on 32-bit Windows: refused" 1633 "$run_exit"
  check_drive "interactive: told why, then refused" \
    'dialog caption="Wrenly X64 Setup" text="This product needs a 64-bit version of Windows."|pressed OK|exit 1633' \
    start "$(winpath "$d/setup.exe")" "$S" wait-dialog 30 "$S" press OK "$S" wait-exit 10
  footprint "$d/now"
  expect "nothing changed" "" "$(changes "$d/before" "$d/now")"
  cases_done
  exit
fi

quietly "$d/setup.exe" /Q
expect "installed" 0 "$run_exit"
footprint "$d/installed"
added=$(changes "$d/before" "$d/installed")
expect_changes installed "$added" "+ file ./Program Files/Wrenly X64/"{alpha.txt,uninstall.exe} \
  "+ file ./windows/system32/wrenly-x64-shared.dll" \
  "+ file ./windows/wrenly-x64-reg/selfreg.dll" \
  "+ reg HKEY_LOCAL_MACHINE/Software/Wrenly X64|Folder=C:/Program Files/Wrenly X64" \
  "+ reg HKEY_LOCAL_MACHINE/Software/Microsoft/Windows/CurrentVersion/SharedDLLs|C:/windows/system32/wrenly-x64-shared.dll=*1" \
  "+ reg HKEY_LOCAL_MACHINE/Software/Microsoft/Windows/CurrentVersion/Uninstall/WrenlyX64|DisplayName=Wrenly X64" \
  "+ reg HKEY_LOCAL_MACHINE/Software/Microsoft/Windows/CurrentVersion/Uninstall/WrenlyX64|InstallLocation=C:/Program Files/Wrenly X64"
expect "nothing on the 32-bit side" "" "$(grep -iE 'wow6432node|program files \(x86\)|syswow64' <<<"$added")"
expect "registered by the 64-bit tool" register "$(cat "$reglog" 2>/dev/null)"

quietly "$app/uninstall.exe" /Q
expect "uninstalled" 0 "$run_exit"
expect "unregistered by the 64-bit tool" "register|unregister" "$(paste -sd'|' "$reglog" 2>/dev/null)"
rm -rf "${reglog%/*}"
expect_round_trip "round trip: nothing left" "$d/before"
cases_done
