#!/usr/bin/env bash
# Version and language rules against a real DLL of the prefix that carries a
# version resource: an existing file of the same version is replaced, a newer
# one is kept unless the user says otherwise (7/29), an older one is replaced
# without a question, another language is asked about (7/30). A missing file
# is simply created.
. "$(dirname "$0")/../engine_lib.sh"
engine_require

d=$(scratch_dir engine_versions)
dll=$WINEPREFIX/drive_c/windows/system32/version.dll
[ -f "$dll" ] || skip "the prefix has no $dll"
build_setup engine-versions.toml "$d/setup.exe" -D DLL="$dll"

q_newer="Newer: "
q_language="Language: "
check() {  # name type existing answers status question holds
  local name=$1 type=$2 existing=$3 answers=$4 status=$5 question=$6 holds=$7
  local folder=$d/$name
  mkdir -p "$folder"
  # The existing file: the same DLL with a byte more, so its version
  # resource is the DLL's and a replacement shows.
  if [ "$existing" = yes ]; then { cat "$dll"; printf x; } >"$folder/checked.dll"; fi
  engine_install "$answers" "$d/setup.exe" --type "$type" --folder "$(winpath "$folder")"
  expect "$name: result" "0" "$(report_value result)"
  expect "$name: status" "$status" "$(report_value entry checked.dll status)"
  [ -n "$question" ] && question="$question$(winpath "$folder/checked.dll")"
  expect "$name: question" "$question" "$(dialog_texts)"
  local now=other
  if cmp -s "$folder/checked.dll" "$dll"; then now=package; fi
  if [ "$existing" = yes ] && cmp -s "$folder/checked.dll" <(cat "$dll"; printf x); then now=existing; fi
  expect "$name: file holds" "$holds" "$now"
}

#     case                   type existing answers status question      file holds
check same-version           0    yes      ""      23     ""            package
check existing-newer-keep    1    yes      No      501    "$q_newer"    existing
check existing-newer-replace 1    yes      Yes     23     "$q_newer"    package
check existing-older         2    yes      ""      23     ""            package
check other-language-keep    3    yes      No      501    "$q_language" existing
check other-language-replace 3    yes      Yes     23     "$q_language" package
check same-language          4    yes      ""      23     ""            package
check no-existing-file       1    no       ""      25     ""            package

cases_done
