#!/usr/bin/env bash
# Pictures of every page of the demo in both presentation modes, kept as
# test artefacts (wizard-MODE-NN-PAGE.png), and the background's pixels
# checked against the dithered quadratic gradient.
. "$(dirname "$0")/../wizard_lib.sh"
# shellcheck source=../../../scripts/demo-walk
. "$(dirname "$0")/../../../scripts/demo-walk"
wine_require
[ -n "${WRENLY_TOOL:-}" ] && [ -x "$WRENLY_TOOL" ] || skip "the wrenly tool is not built"

mkdir -p "$WRENLY_ARTEFACTS"
d=$(scratch_dir wizard_pictures)
demo=$(dirname "$WRENLY_WINE_PROJECTS")/../../examples/demo
for mode in windowed fullscreen; do
  mkdir -p "$d/$mode"
  cp "$demo"/*.txt "$d/$mode/"
  sed "s/^mode = .*/mode = \"$mode\"/" "$demo/demo.toml" >"$d/$mode/demo.toml"
  "$WRENLY_TOOL" build "$d/$mode/demo.toml" -o "$d/$mode/setup.exe" --stub "$(stub_exe)" --quiet \
    -D DEMO_BIN="$(win_dir)/examples/demo/app" || fail "the demo did not build in $mode mode"
  demo_walk "$(winpath "$d/$mode/setup.exe")" "$(winpath "$WRENLY_ARTEFACTS/wizard-$mode")" "$(winpath "$d/$mode/dest")"
  for page in "${demo_walk_pages[@]}"; do rm -f "$WRENLY_ARTEFACTS/wizard-$mode-$page.png"; done
  run=$(drive "${demo_walk_steps[@]}" 2>&1 | tr -d '\r') || true
  expect "$mode: the demo walked to its end" "exit 0" "$(grep '^exit' <<<"$run")"
  for page in "${demo_walk_pages[@]}"; do
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
