#!/usr/bin/env bash
# /S<path>: the package comes from the named file instead of the program's
# own. The bare stub loads a setup program beside it; a missing file, or a
# file without a package, ends the run with -1 and no message.
. "$(dirname "$0")/../lib.sh"
wine_require

d=$(scratch_dir package_path)
mkdir -p "$d/with space"
build_setup one-type.toml "$d/setup.exe" -D COMPRESSION=zlib
cp "$d/setup.exe" "$d/with space/setup.exe"
cp "$(stub_exe)" "$d/stub.exe"
read_layout "$d/setup.exe"
cut_copy "$d/setup.exe" "$d/cut.exe" $((data_start + data_size / 2))

S=";"
stub=$(winpath "$d/stub.exe")
w() { winpath "$d/$1"; }
quiet() {  # name expected-exit program options...
  check_drive "$1" "no-window|exit $2" start "$3" "${@:4}" $S expect-no-window 15 $S wait-exit 15
}
# A normal run: the package loaded and its wizard is shown.
wizard() {  # name file options...
  check_drive "$1" 'window class="WrenlyClass" caption="Wine Check Setup"|killed' \
    start "$2" "${@:3}" $S wait-window 15 $S kill
}

#      case                                       program                 option
wizard "quoted path"                              "$stub"                 "/S\"$(w setup.exe)\""
wizard "path after a space"                       "$stub"                 /S "$(w setup.exe)"
wizard "path without a space"                     "$stub"                 "/S$(w setup.exe)"
wizard "quoted path with a space"                 "$stub"                 "/S\"$(w 'with space/setup.exe')\""

#     case                                        exit  program                 option
quiet "missing file"                              255   "$stub"                 "/S\"$(w missing.exe)\""
quiet "a file without a package"                  255   "$(w setup.exe)"        "/S\"$stub\""
check_drive "a package cut inside its DataArea" \
  'dialog caption="Wine Check Setup" text="The package is incomplete."|pressed OK|exit 255' \
  start "$stub" "/S\"$(w cut.exe)\"" $S wait-dialog 15 $S press OK $S wait-exit 15

cases_done
