#!/usr/bin/env bash
# Pictures of every page of the demo in both presentation modes, kept as
# test artefacts (wizard-MODE-NN-PAGE.png), and the background's pixels
# checked against the dithered quadratic gradient.
. "$(dirname "$0")/../wizard_lib.sh"
wine_require
[ -n "${WRENLY_TOOL:-}" ] && [ -x "$WRENLY_TOOL" ] || skip "the wrenly tool is not built"

d=$(scratch_dir wizard_pictures)
demo=$(dirname "$WRENLY_WINE_PROJECTS")/../../examples/demo
for mode in windowed fullscreen; do
  mkdir -p "$d/$mode"
  cp "$demo"/*.txt "$d/$mode/"
  sed "s/^mode = .*/mode = \"$mode\"/" "$demo/demo.toml" >"$d/$mode/demo.toml"
  "$WRENLY_TOOL" build "$d/$mode/demo.toml" -o "$d/$mode/setup.exe" --stub "$(stub_exe)" --quiet \
    -D DEMO_BIN="$(win_dir)/examples/demo/app" || fail "the demo did not build in $mode mode"
  lines=$(drive start "$(winpath "$d/$mode/setup.exe")" $S wait-control 1000 15 $S screenshot "$(screenshot "wizard-$mode-01-welcome")" \
    $S click 1 $S wait-control 1047 10 $S screenshot "$(screenshot "wizard-$mode-02-information")" \
    $S click 1 $S wait-control 1002 10 $S click 1002 $S screenshot "$(screenshot "wizard-$mode-03-agreement")" \
    $S click 1 $S wait-control 1004 10 $S set-text 1004 "$(winpath "$d/$mode/dest")" \
    $S screenshot "$(screenshot "wizard-$mode-04-destination")" $S click 1 $S wait-dialog 10 $S press Yes \
    $S wait-text 1046 "Ready" 10 $S screenshot "$(screenshot "wizard-$mode-05-ready")" \
    $S click 1 $S wait-control 1015 30 $S screenshot "$(screenshot "wizard-$mode-06-finish")" \
    $S click 1 $S wait-control 100 10 $S screenshot "$(screenshot "wizard-$mode-07-closing")" \
    $S click 2 $S wait-exit 15 2>&1) || true
  check_that "$mode: the demo walked to its end" grep -q '^exit 0' <<<"$lines"
  for page in 01-welcome 02-information 03-agreement 04-destination 05-ready 06-finish 07-closing; do
    check_that "$mode: picture of $page" test -s "$WRENLY_ARTEFACTS/wizard-$mode-$page.png"
  done
  check_that "$mode: the demo is installed" test -f "$d/$mode/dest/demo.exe"
done

# Full screen, blue to black: the areas beside the frame and below the title.
check_that "the background is the dithered quadratic gradient" "$WRENLY_GRADIENT_CHECK" \
  "$WRENLY_ARTEFACTS/wizard-fullscreen-01-welcome.png" ff0000 000000 0,150,250,760 820,150,1015,760
# The checker must see a wrong picture as wrong: the windowed mode paints no gradient.
check_that "the check refuses another picture" bash -c "! '$WRENLY_GRADIENT_CHECK' \
  '$WRENLY_ARTEFACTS/wizard-windowed-01-welcome.png' ff0000 000000 0,150,250,760 >/dev/null"

cases_done
