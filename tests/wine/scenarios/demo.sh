#!/usr/bin/env bash
# The demo walked through its wizard in both presentation modes, a picture of
# every page kept as a test artefact (wizard-MODE-NN-PAGE.png) and the full
# screen's background checked against the dithered quadratic gradient. The
# windowed run, into the folder the demo proposes, leaves exactly what its
# project asks for: the prefix's files and registry are compared before and
# after, and every difference must be one of the list below, each of them
# present; its uninstaller, run silently, takes them all away again.
. "$(dirname "$0")/../wizard_lib.sh"
# shellcheck source=../../../scripts/demo-walk
. "$(dirname "$0")/../../../scripts/demo-walk"
wine_require
mkdir -p "$WRENLY_ARTEFACTS"
d=$(scratch_dir demo)
demo=$(dirname "$WRENLY_WINE_PROJECTS")/../../examples/demo

# Differences as "+ file PATH" (below drive_c), "+ reg KEY|NAME=DATA" and
# "+ reg KEY", every backslash turned into a slash; shell patterns, where ?
# stands for the quotes of a quoted path.
entry="HKEY_LOCAL_MACHINE/Software/*Microsoft/Windows/CurrentVersion/Uninstall/Wrenly Demo"
asked=(
  "+ file ./Program Files*/Wrenly Demo"
  "+ file ./Program Files*/Wrenly Demo/"{demo.exe,readme.txt,license.txt,uninstall.exe}
  "+ file ./users/*/Start Menu/Programs/Wrenly Demo"
  "+ file ./users/*/Start Menu/Programs/Wrenly Demo/"{"Wrenly Demo.lnk","Read me.lnk"}
  "+ file ./users/*/Desktop/Wrenly Demo.lnk"
  "+ reg HKEY_LOCAL_MACHINE/Software/*Wrenly" "+ reg HKEY_LOCAL_MACHINE/Software/*Wrenly/Demo" "+ reg $entry"
  "+ reg HKEY_LOCAL_MACHINE/Software/*Wrenly/Demo|InstallDir=C:/Program Files*/Wrenly Demo"
  "+ reg $entry|DisplayName=Wrenly Demo"
  "+ reg $entry|UninstallString=?C:/Program Files*/Wrenly Demo/uninstall.exe?"
  "+ reg $entry|QuietUninstallString=?C:/Program Files*/Wrenly Demo/uninstall.exe? /S"
  "+ reg $entry|InstallLocation=C:/Program Files*/Wrenly Demo"
  "+ reg $entry|DisplayIcon=C:/Program Files*/Wrenly Demo/uninstall.exe"
  "+ reg $entry|No"{Modify,Repair}"=dword:00000001"
  "+ reg $entry|DisplayVersion=1.0" "+ reg $entry|Publisher=The Wrenly project"
  "+ reg $entry|URLInfoAbout=https://wrenly.example/demo"
)
# A footprint left by an earlier run of this scenario would hide itself.
reg_quiet delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Wrenly Demo' /f "$(reg_view)"
reg_quiet delete 'HKLM\Software\Wrenly' /f "$(reg_view)"
rm -rf "$WINEPREFIX"/drive_c/Program\ Files*/Wrenly\ Demo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Wrenly\ Demo \
  "$WINEPREFIX"/drive_c/users/*/Desktop/Wrenly\ Demo.lnk
for mode in windowed fullscreen; do
  mkdir -p "$d/$mode"
  cp "$demo"/*.txt "$d/$mode/"
  sed "s/^mode = .*/mode = \"$mode\"/" "$demo/demo.toml" >"$d/$mode/demo.toml"
  build_setup "$d/$mode/demo.toml" "$d/$mode/setup.exe" -D DEMO_BIN="$(win_dir)/examples/demo/app"
  folder=("$(winpath "$d/$mode/dest")")
  [ "$mode" = fullscreen ] || { folder=(); footprint_before "$d/before"; }
  demo_walk "$(winpath "$d/$mode/setup.exe")" "$(winpath "$WRENLY_ARTEFACTS/wizard-$mode")" "${folder[@]}"
  for page in "${demo_walk_pages[@]}"; do rm -f "$WRENLY_ARTEFACTS/wizard-$mode-$page.png"; done
  run=$(drive "${demo_walk_steps[@]}" 2>&1 | tr -d '\r') || true
  expect "$mode: the demo walked to its end" "exit 0" "$(grep '^exit' <<<"$run")"
  for page in "${demo_walk_pages[@]}"; do
    check_that "$mode: picture of $page" test -s "$WRENLY_ARTEFACTS/wizard-$mode-$page.png"
  done
  if [ "$mode" = windowed ]; then
    footprint "$d/after"
    uninstall "$(echo "$WINEPREFIX"/drive_c/Program\ Files*/Wrenly\ Demo)"
    expect "the installed uninstaller ends well" 0 "$run_exit"
    wine_run wineboot -r >/dev/null 2>&1 || true  # its copy goes at the restart
    footprint "$d/removed"
    expect "nothing left after the uninstall" "" "$(changes "$d/before" "$d/removed")"
    # Quiet: /Q /L leave what the windowed wizard left, without any window, and
    # the log names every file written; the uninstaller's /Q /L takes it all
    # away again, each file named in its log.
    log=$(winpath "$d/quiet.log") ulog=$(winpath "$d/uninstall.log")
    run=$(drive start "$(winpath "$d/windowed/setup.exe")" /Q "/L$log" "$S" expect-no-window 120 "$S" wait-exit 5 2>&1 |
      tr -d '\r') || true
    expect "quiet: no window, exit 0" "no-window|exit 0" "$(grep -E '^(no-window|window|exit)' <<<"$run" | paste -sd '|')"
    footprint "$d/quiet"
    expect "quiet: what the wizard left, no more, no less" "" "$(changes "$d/after" "$d/quiet")"
    folder=$(echo "$WINEPREFIX"/drive_c/Program\ Files*/Wrenly\ Demo)
    W=$(winpath "$folder")
    log_has() { tr -d '\r' <"$1" | cut -d' ' -f3- | grep -qxF -- "$2"; }  # log line-without-its-time
    for f in demo.exe readme.txt license.txt uninstall.exe; do
      check_that "quiet: the log names $f" log_has "$d/quiet.log" "file written: $W\\$f"
    done
    run=$(drive start "$(winpath "$folder/uninstall.exe")" /Q "/L$ulog" "$S" expect-no-window 60 "$S" wait-exit 30 \
      "$S" wait-descendants 30 2>&1 | tr -d '\r') || true
    expect "quiet uninstall: no window, exit 0" "no-window|exit 0|descendants-ended" \
      "$(grep -E '^(no-window|window|exit|descendants)' <<<"$run" | paste -sd '|')"
    wine_run wineboot -r >/dev/null 2>&1 || true
    footprint "$d/quiet-removed"
    expect "quiet uninstall: nothing left" "" "$(changes "$d/before" "$d/quiet-removed")"
    check_that "quiet uninstall: the log names demo.exe" log_has "$d/uninstall.log" "file: $W\\demo.exe (done)"
  fi
  [ "$mode" = windowed ] || check_that "$mode: the demo is installed" test -f "$d/$mode/dest/demo.exe"
done

# What Explorer and package managers read of the setup program: the product's,
# before and after it is signed (the signature verifies).
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=wrenly-test -days 2 -keyout "$d/k.pem" -out "$d/c.pem" 2>/dev/null
osslsigncode sign -certs "$d/c.pem" -key "$d/k.pem" -in "$d/windowed/setup.exe" -out "$d/signed.exe" >/dev/null
check_that "signed: the signature verifies" osslsigncode verify -CAfile "$d/c.pem" -in "$d/signed.exe"
for exe in windowed/setup.exe signed.exe; do
  steps=() && for name in ProductName ProductVersion CompanyName FileDescription; do
    steps+=(version-text "$(winpath "$d/$exe")" "$name" "$S")
  done
  check_drive "$exe: the version resource names the product" \
    "version ProductName=\"Wrenly Demo\"|version ProductVersion=\"1.0\"|version CompanyName=\"The Wrenly project\"|version FileDescription=\"Wrenly Demo Setup\"" \
    "${steps[@]:0:${#steps[@]}-1}"
done

# Full screen, blue to black: the areas beside the frame and below the title.
check_that "the background is the dithered quadratic gradient" "$WRENLY_GRADIENT_CHECK" \
  "$WRENLY_ARTEFACTS/wizard-fullscreen-01-welcome.png" ff0000 000000 0,150,250,760 820,150,1015,760
# The checker must see a wrong picture as wrong: the windowed mode paints no gradient.
check_that "the check refuses another picture" bash -c "! '$WRENLY_GRADIENT_CHECK' \
  '$WRENLY_ARTEFACTS/wizard-windowed-01-welcome.png' ff0000 000000 0,150,250,760 >/dev/null"

mapfile -t differences < <(changes "$d/before" "$d/after")
unasked=$(for line in "${differences[@]}"; do matches "$line" "${asked[@]}" || echo "$line"; done)
expect "nothing the package did not ask for" "" "$unasked"
for want in "${asked[@]}"; do
  hit=1 && for line in "${differences[@]}"; do matches "$line" "$want" && hit=0 && break; done
  record "done as asked: $want" "$hit" "  no such difference"
done
cases_done
