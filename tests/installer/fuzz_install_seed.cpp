// The install target's own seed: the inspector's package with small files,
// a font, a temporary read-only file, files written twice, a library written
// again while in use (NT and 9x), blocks stored plain, and its DataArea in
// volumes of 120 bytes, each behind the mark fuzz_install.cpp splits at.
#include <fstream>
#include <string>

#include "format/file_entry.h"
#include "package_writer.h"

namespace wf = wrenly::format;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  PackagePlan plan = TypicalPlan();
  std::vector<FilePlan>&full = plan.types[0].files, &mini = plan.types[1].files;
  full[1].content = std::string(300, 'b') + "zip2";  // was 48 KB
  full.push_back({.name = "font.ttf", .kind = wf::kDestFonts, .content = "font"});
  full.push_back({.name = "t.tmp", .kind = wf::kDestTemp, .status = wf::kOptReadOnly, .content = "temporary"});
  full.push_back({.name = "readme.txt", .flags = wf::kFlagOnlyIfMissing, .content = "kept"});
  mini.push_back({.name = "readme.txt", .content = "Read me again.\n", .method = 2});
  mini.push_back({.name = "font.ttf", .kind = wf::kDestFonts, .content = "font 2"});
  mini.push_back({.name = "sys\\x.dll", .kind = wf::kDestWindows, .content = "dll bytes 2"});
  plan.types.push_back(PlainType());
  for (const char* content : {"dll bytes", "dll bytes 3"})
    plan.types[2].files.push_back({.name = "x.dll", .kind = wf::kDestWindows, .content = content});
  PackageImage image = Craft(plan);
  image.volumeSize = 120;
  for (Block& block : image.blocks) block.method = 0;  // tables the fuzzer can change in place
  Bytes input = image.Build();
  const std::string mark = "\n<next volume>\n";
  for (const Bytes& volume : image.Volumes()) {
    input.insert(input.end(), mark.begin(), mark.end());
    input.insert(input.end(), volume.begin(), volume.end());
  }
  std::ofstream(std::string(argv[1]) + "/install.exe", std::ios::binary).write((const char*)input.data(), input.size());
  return 0;
}
