#!/usr/bin/env bash
# A DLL left beside setup.exe under the name of a system DLL the Installer
# loads is never loaded: the canary leaves NAME.loaded (in the case it was
# asked for by) if it is. Told to, Wine prefers a DLL it finds to its own, as
# Windows does. version.dll has no row, as Wine's own user32 imports it before
# WinMain: a newer file at the destination shows the Installer finds it.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

canary=$(win_dir)/tests/wine/canary/canary.dll
[ -f "$canary" ] || skip "the canary DLL is not built ($canary)"
overrides=$WINEDLLOVERRIDES
# riched32.dll is tried only without riched20.dll.
while IFS='|' read -r dll override; do
  d=$(scratch_dir "planted_dlls/$dll")
  build_setup planted.toml "$d/setup.exe" -D FOLDER="$(winpath "$d/dest")"
  cp "$canary" "$d/$dll"
  export WINEDLLOVERRIDES="$overrides;$override"
  check_drive "$dll beside setup.exe: the wizard comes up" 'control id=1 class="Button" text="&Next >"|killed' \
    start "$(winpath "$d/setup.exe")" ";" wait-control 1 15 ";" kill
  check_that "$dll beside setup.exe is not loaded" test -z "$(find "$d" -iname "$dll.loaded")"
done <<ROWS
comctl32.dll|comctl32=n,b
uxtheme.dll|uxtheme=n,b
riched20.dll|riched20=n,b
riched32.dll|riched20=d;riched32=n,b
ROWS
export WINEDLLOVERRIDES=$overrides

d=$(scratch_dir planted_dlls/version)
build_setup planted.toml "$d/setup.exe" -D FOLDER="$(winpath "$d/dest")"
mkdir -p "$d/dest" && cp "$(system_dir)/shell32.dll" "$d/dest/checked.dll"
setup_install No "$d/setup.exe"
expect "version.dll: a newer file at the destination is found" "The file $(winpath "$d/dest/checked.dll") \
already on this computer is newer than the one in this setup. Replace it anyway?" "$(dialog_texts)"

cases_done
