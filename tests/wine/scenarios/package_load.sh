#!/usr/bin/env bash
# Normal runs on setup programs built by wrenly build: an intact package
# loads and shows its wizard, captioned with its install type's 7/0; a
# missing or damaged package ends with -1 (255 here) and shows nothing.
. "$(dirname "$0")/../lib.sh"
wine_require

d=$(scratch_dir package_load)
build_setup one-type.toml "$d/zlib.exe" -D COMPRESSION=zlib
build_setup one-type.toml "$d/bzip2.exe" -D COMPRESSION=bzip2
build_setup two-types.toml "$d/two.exe"
cp "$(stub_exe)" "$d/bare.exe"
read_layout "$d/zlib.exe"

# Damaged copies of the zlib package, each broken at one place.
cp "$d/zlib.exe" "$d/stream.exe"
patch_bytes "$d/stream.exe" $((zblock_stream_at + zblock_stream_size / 2)) "ff ff ff ff ff ff ff ff 00 00 00 00 ff ff ff ff"
cp "$d/zlib.exe" "$d/method.exe"
patch_bytes "$d/method.exe" "$zblock_method_at" "03"
cp "$d/zlib.exe" "$d/zlib-header.exe"
patch_bytes "$d/zlib-header.exe" "$zblock_stream_at" "00 00"
cp "$d/zlib.exe" "$d/length.exe"
patch_u32 "$d/length.exe" "$first_length_at" $((0x7ffffff0))
cut_copy "$d/zlib.exe" "$d/no-end.exe" "$end_block"
cut_copy "$d/zlib.exe" "$d/half-header.exe" $((first_block + 4))
cut_copy "$d/zlib.exe" "$d/no-size.exe" $((size_field + 2))
cut_copy "$d/zlib.exe" "$d/mid-block.exe" $((zblock_stream_at + zblock_stream_size / 2))

S=";"
loads() {  # name file.exe caption
  check_drive "$1" "window class=\"WrenlyClass\" caption=\"$3\"|killed" start "$(winpath "$d/$2")" \
    $S wait-window 15 $S kill
}
refused() {  # name file.exe
  check_drive "$1" "no-window|exit 255" start "$(winpath "$d/$2")" $S expect-no-window 15 $S wait-exit 15
}

#       case                                         setup program
loads   "intact, zlib entries"                       zlib.exe  "Wine Check Setup"
loads   "intact, bzip2 entries"                      bzip2.exe "Wine Check Setup"
loads   "intact, two install types"                  two.exe   "Wine Check Two Setup"
refused "no package (the bare stub)"                 bare.exe
refused "a compressed block's stream damaged"        stream.exe
refused "a compressed block's method 3"              method.exe
refused "a compressed block's zlib header damaged"   zlib-header.exe
refused "a block length beyond the file"             length.exe
refused "cut before the end block"                   no-end.exe
refused "cut inside a block header"                  half-header.exe
refused "cut inside the DataArea size"               no-size.exe
refused "cut inside a block payload"                 mid-block.exe

cases_done
