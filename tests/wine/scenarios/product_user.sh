#!/usr/bin/env bash
# A per-user product. The prefix's user is an administrator and cannot be
# made anything less, so what shows that it needs no rights is what it asks
# for and what it touches: the setup program and the installed uninstaller
# ask for none in their manifests, and the installation adds nothing
# outside the user's profile and HKEY_CURRENT_USER. The uninstaller takes it
# all away again.
. "$(dirname "$0")/../engine_lib.sh"
wine_require

d=$(scratch_dir product_user)
c=$WINEPREFIX/drive_c
build_setup user.toml "$d/setup.exe"
# The user's programs folder and list of installed programs are Windows'
# own, shared by every per-user product: they stay when one goes. Made
# first, as any earlier one left them.
mkdir -p "$(echo "$c"/users/*/AppData/Local)/Programs"
reg_quiet add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /f
level() { grep -aoE 'level="[A-Za-z]+"' "$1" | sort -u | paste -sd' '; }  # program
footprint_before "$d/before"

expect "the setup program asks for no rights" 'level="asInvoker"' "$(level "$d/setup.exe")"
quietly "$d/setup.exe" /Q
expect "installed" 0 "$run_exit"
app=$(echo "$c"/users/*/AppData/Local/Programs/Wrenly\ User)
expect "installed in the user's programs folder" "alpha.txt data uninstall.exe" "$(ls "$app" 2>/dev/null | paste -sd' ')"
expect "the uninstaller asks for no rights" 'level="asInvoker"' "$(level "$app/uninstall.exe")"
footprint "$d/installed"
added=$(changes "$d/before" "$d/installed")
expect "nothing outside the profile and HKEY_CURRENT_USER" "" \
  "$(grep -vE '^\+ (file \./users/|reg HKEY_CURRENT_USER/)' <<<"$added")"
expect_changes installed "$added" "+ file ./users/*/Start Menu/Programs/Wrenly User/Alpha.lnk" \
  "+ file ./users/*/Desktop/Wrenly User.lnk" \
  "+ reg HKEY_CURRENT_USER/Software/Wrenly User|Folder=C:/users/*/AppData/Local/Programs/Wrenly User" \
  "+ reg HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Uninstall/WrenlyUser|DisplayName=Wrenly User"

quietly "$app/uninstall.exe" /Q
expect "uninstalled" 0 "$run_exit"
expect_round_trip "round trip: nothing left" "$d/before"
cases_done
