// The install target's seed: the inspector's package with small files, a font,
// a read-only temporary file, files written twice, a library written again
// while in use (9x, then NT), blocks stored plain, and the DataArea in volumes
// of 120 bytes, each behind the mark fuzz_install.cpp splits the input at.
#include <fstream>
#include <string>

#include "format/file_entry.h"
#include "package_writer.h"

namespace wf = wrenly::format;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  PackagePlan plan = TypicalPlan();
  plan.types.push_back(PlainType());
  std::vector<FilePlan>&full = plan.types[0].files, &mini = plan.types[1].files, &third = plan.types[2].files;
  full[1].content = "no longer 48 KB";
  full.push_back({.name = "font.ttf", .kind = wf::kDestFonts, .content = "font"});
  full.push_back({.name = "t.tmp", .kind = wf::kDestTemp, .status = wf::kOptReadOnly, .content = "temporary"});
  full.push_back({.name = "readme.txt", .flags = wf::kFlagOnlyIfMissing, .content = "kept"});
  mini.push_back({.name = "readme.txt", .content = "Read me again.\n", .method = 2});
  mini.push_back({.name = "font.ttf", .kind = wf::kDestFonts, .content = "font 2"});
  mini.push_back({.name = "sys\\x.dll", .kind = wf::kDestWindows, .content = "dll bytes 2"});
  for (const char* content : {"dll bytes", "dll bytes 3"})
    third.push_back({.name = "x.dll", .kind = wf::kDestWindows, .content = content});
  PackageImage image = Craft(plan);
  for (Block& block : image.blocks) block.method = 0;  // tables the fuzzer can change in place
  image.volumeSize = 120;
  Bytes input = image.Build();
  for (const Bytes& volume : image.Volumes()) {
    for (char c : std::string("\n<next volume>\n")) input.push_back((uint8_t)c);
    input.insert(input.end(), volume.begin(), volume.end());
  }
  std::ofstream(std::string(argv[1]) + "/install.exe", std::ios::binary).write((const char*)input.data(), input.size());
  return 0;
}
