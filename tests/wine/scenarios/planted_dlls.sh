#!/usr/bin/env bash
# A DLL left beside setup.exe under the name of a system DLL that the
# Installer loads is never loaded: the canary leaves NAME.loaded when it is.
# Wine is told to prefer a DLL it finds over its own, as Windows does; the
# riched32.dll row turns riched20.dll off, the only case that tries it.
# version.dll has no row: Wine's own user32 imports it, so Wine loads a copy
# beside any program before WinMain (Windows' user32 does not). The import
# test keeps it out of the Installer's imports; the last case shows that the
# Installer finds the system's.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

canary=$(win_dir)/tests/wine/canary/canary.dll
[ -f "$canary" ] || skip "the canary DLL is not built ($canary)"
overrides=$WINEDLLOVERRIDES
while IFS='|' read -r dll override; do
  d=$(scratch_dir "planted_dlls/$dll")
  build_setup planted.toml "$d/setup.exe" -D FOLDER="$(winpath "$d/dest")"
  cp "$canary" "$d/$dll"
  export WINEDLLOVERRIDES="$overrides;$override"
  check_drive "$dll beside setup.exe: the wizard comes up" \
    'control id=1 class="Button" text="&Next >"|killed' \
    start "$(winpath "$d/setup.exe")" ";" wait-control 1 15 ";" kill
  # The marker takes the case of the name the DLL was loaded by.
  check_that "$dll beside setup.exe is not loaded" test -z "$(find "$d" -iname "$dll.loaded")"
done <<ROWS
comctl32.dll|comctl32=n,b
uxtheme.dll|uxtheme=n,b
riched20.dll|riched20=n,b
riched32.dll|riched20=d;riched32=n,b
ROWS
export WINEDLLOVERRIDES=$overrides

# A newer file at the destination: the version check reads it and asks.
d=$(scratch_dir planted_dlls/version)
build_setup planted.toml "$d/setup.exe" -D FOLDER="$(winpath "$d/dest")"
mkdir -p "$d/dest"
cp "$(system_dir)/shell32.dll" "$d/dest/checked.dll"
setup_install No "$d/setup.exe"
expect "version.dll: a newer file is found" \
  "The file $(winpath "$d/dest/checked.dll") already on this computer is newer than the one in this setup. Replace it anyway?" \
  "$(dialog_texts)"
expect "the newer file is kept" "same" "$(cmp -s "$(system_dir)/shell32.dll" "$d/dest/checked.dll" && echo same)"

cases_done
