#!/usr/bin/env bash
# The real program on packages built by wrenly build, as a user starts it:
# an intact package shows its wizard under its install type's caption; no
# package or a damaged one ends with -1 (255 here) and nothing shown; a
# package whose DataArea is short says so (7/31). /S<path> takes the package
# from another file; /B<n> is the run after a restart on the temporary copy
# (the package up to its DataArea size): no window, type n-1. The parsing
# and damage rules themselves are proven by the native tables.
. "$(dirname "$0")/../lib.sh"
wine_require

d=$(scratch_dir package_load)
mkdir -p "$d/with space"
build_setup one-type.toml "$d/zlib.exe" -D COMPRESSION=zlib
build_setup one-type.toml "$d/bzip2.exe" -D COMPRESSION=bzip2
build_setup two-types.toml "$d/two.exe"
cp "$(stub_exe)" "$d/stub.exe"
cp "$d/zlib.exe" "$d/with space/setup.exe"
cp "$d/zlib.exe" "$d/trailing.exe" && printf 'bytes after the DataArea' >>"$d/trailing.exe"
read_layout "$d/two.exe"
head -c $((data_start + data_size / 2)) "$d/two.exe" >"$d/two-half.exe"
read_layout "$d/zlib.exe"
head -c $((data_start + data_size / 2)) "$d/zlib.exe" >"$d/half.exe"
head -c "$data_start" "$d/zlib.exe" >"$d/copy.exe"
cp "$d/zlib.exe" "$d/stream.exe"
patch_bytes "$d/stream.exe" "$zblock_mid" "ff ff ff ff ff ff ff ff 00 00 00 00 ff ff ff ff"

w() { winpath "$d/$1"; }
one='Wine Check Setup'
shown() {  # name caption program options...
  check_drive "$1" "window class=\"WrenlyClass\" caption=\"$2\"|killed" start "$3" "${@:4}" $S wait-window 15 $S kill
}
quiet() {  # name exit program options...
  check_drive "$1" "no-window|exit $2" start "$3" "${@:4}" $S expect-no-window 15 $S wait-exit 15
}
incomplete() {  # name caption program options...
  check_drive "$1" "dialog caption=\"$2\" text=\"The package is incomplete.\"|pressed OK|exit -1" \
    start "$3" "${@:4}" $S wait-dialog 15 $S press OK $S wait-exit 15
}

#          case                                   caption / exit          program             options
shown      "intact, zlib entries"                 "$one"                  "$(w zlib.exe)"
shown      "intact, bzip2 entries"                "$one"                  "$(w bzip2.exe)"
shown      "intact, two install types"            "Wine Check Two Setup"  "$(w two.exe)"
shown      "bytes after the DataArea"             "$one"                  "$(w trailing.exe)"
shown      "/S with a quoted path with a space"   "$one"                  "$(w stub.exe)"     "/S\"$(w 'with space/setup.exe')\""
quiet      "no package (the bare stub)"           -1                      "$(w stub.exe)"
quiet      "a compressed block's stream damaged"  -1                      "$(w stream.exe)"
quiet      "/S naming a missing file"             -1                      "$(w stub.exe)"     "/S\"$(w missing.exe)\""
quiet      "/B1 on the temporary copy"            0                       "$(w copy.exe)"     /B1
quiet      "/B2 on a one-type copy"               -1                      "$(w copy.exe)"     /B2
incomplete "cut in the middle of the DataArea"    "$one"                  "$(w half.exe)"
incomplete "two types: texts of the initial type" "Wine Check Two Setup"  "$(w two-half.exe)"
incomplete "/B1 on an intact setup program"       "$one"                  "$(w zlib.exe)"     /B1

cases_done
