// Entry names as a package may hold them, and what a reader that keeps every
// file inside its folder makes of them: the components joined by '/', or
// nullptr when the name must be refused. Shared by the inspector's path and
// extraction tests and the Installer's destination tests.
#pragma once
#include <cstdint>

struct EntryNameCase {
  const char* name;
  const char* parts;
  uint32_t kind;  // the destination kind extraction tries it with
};

inline constexpr EntryNameCase kEntryNames[] = {
    {"a.txt", "a.txt", 0},
    {"data\\img\\a.bmp", "data/img/a.bmp", 0},
    {"sub/dir\\file.txt", "sub/dir/file.txt", 0},
    {".\\a\\\\b", "a/b", 0},
    {"a..b\\c..", "a..b/c..", 0},
    {"", nullptr, 0},
    {"..", nullptr, 0},
    {"..\\evil.txt", nullptr, 0},
    {"..\\..\\evil", nullptr, 0},
    {"x\\..\\..\\evil.txt", nullptr, 10},
    {"sub\\..", nullptr, 1},
    {"a/../b", nullptr, 0},
    {"a\\../../evil.txt", nullptr, 3},
    {"\\evil.txt", nullptr, 9},
    {"/etc/passwd", nullptr, 0},
    {"C:\\evil.txt", nullptr, 0},
    {"c:x.txt", nullptr, 1},
    {"file.txt:stream", nullptr, 0},
};
