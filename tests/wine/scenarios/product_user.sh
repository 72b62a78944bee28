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
quietly() {  # program [options...]: no window may show
  run=$(drive start "$(winpath "$1")" "${@:2}" "$S" expect-no-window 60 "$S" wait-exit 10 "$S" wait-descendants 30 \
    2>&1 | tr -d '\r') || true
  run_exit=$(sed -n 's/^exit //p' <<<"$run")
}
# The user's programs folder is Windows' own, shared by every per-user
# product: it stays when one goes. Made first, as any earlier one left it.
mkdir -p "$(echo "$c"/users/*/AppData/Local)/Programs"
level() { grep -aoE 'level="[A-Za-z]+"' "$1" | sort -u | paste -sd' '; }  # program
footprint "$d/before"

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
for want in "+ file ./users/*/Start Menu/Programs/Wrenly User/Alpha.lnk" "+ file ./users/*/Desktop/Wrenly User.lnk" \
  "+ reg HKEY_CURRENT_USER/Software/Wrenly User|Folder=C:/users/*/AppData/Local/Programs/Wrenly User" \
  "+ reg HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Uninstall/WrenlyUser|DisplayName=Wrenly User"; do
  hit=1 && while IFS= read -r line; do matches "$line" "$want" && hit=0 && break; done <<<"$added"
  record "installed: $want" "$hit" "  no such difference"
done

quietly "$app/uninstall.exe" /Q
expect "uninstalled" 0 "$run_exit"
wine_run wineboot -r >/dev/null 2>&1 || true
footprint "$d/now"
expect "round trip: nothing left" "" "$(changes "$d/before" "$d/now")"
cases_done
