// Writes small valid packages as the fuzz targets' starting points: the
// typical package with its blocks in bzip2, the rich one in single-page mode
// with the product's details and two LZMA entries (a program's through the x86 filter) behind a program that says it
// decodes zlib only, and the install target's seed
// (a third type, a font, a read-only temporary file, files written twice, a library written again while in use (9x,
// then NT), blocks stored plain, and the DataArea in volumes of 120 bytes, each behind the mark fuzz_install.cpp splits
// the input at).
#include <fstream>
#include <string>

#include "format/block_ids.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/stub_resources.h"
#include "package_writer.h"

namespace wf = wrenly::format;
namespace wb = wrenly::builder;

static wb::FileItem File(const char* name, const char* content, uint32_t kind = 0) {
  return {.content = ToBytes(content), .kind = kind, .items = {name}};
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  wb::Project richPlan = TypicalPlan();
  std::string program(0x200, '\xE8');
  program.replace(0, 2, "MZ"), program.replace(0x3C, 10, std::string("\x40\0\0\0PE\0\0\x4C\x01", 10));
  richPlan.types[0].files[0].compression = wb::Compression::kLzma;
  richPlan.types[0].files.push_back(
      {.content = ToBytes(program), .compression = wb::Compression::kLzma, .items = {"app.exe"}});
  PackageImage typical = TypicalPackage(), rich = Craft(richPlan);
  typical.signatureAt = 1020;
  rich.stub = SmallProgram({{10, wf::kStubMethodsResource, 0x409, {wf::kStubHasZlib, 0, 0, 0}}});  // RT_RCDATA
  rich.signatureAt = static_cast<uint32_t>(rich.stub.size());
  rich.Add(wf::kBlockSinglePage, Bytes{wf::kPageProgress, 0, 1, 0});
  rich.Add(wf::kBlockProductDetails, Bytes{1, 0, '1', 0, 0, 1, 0, 'u'});
  for (Block& b : typical.blocks) b.method = 2;
  typical.Write(std::string(argv[1]) + "/typical.exe");
  rich.Write(std::string(argv[1]) + "/rich.exe");

  wb::Project plan = TypicalPlan();
  plan.types.push_back({.name = "Third", .folder = "#parent#", .pages = {0, 5, 6}});
  auto &full = plan.types[0].files, &mini = plan.types[1].files, &third = plan.types[2].files;
  full[1].content = ToBytes("no longer 25 KB");
  full.push_back(File("font.ttf", "font", wf::kDestFonts));
  full.push_back(File("t.tmp", "temporary", wf::kDestTemp)), full.back().status = wf::kOptReadOnly;
  full.push_back(File("readme.txt", "kept")), full.back().flags = wf::kFlagOnlyIfMissing;
  mini.push_back(File("readme.txt", "Read me again.\n")), mini.back().compression = wb::Compression::kBzip2;
  mini.push_back(File("font.ttf", "font 2", wf::kDestFonts));
  mini.push_back(File("sys\\x.dll", "dll bytes 2", wf::kDestWindows));
  for (const char* content : {"dll bytes", "dll bytes 3"}) third.push_back(File("x.dll", content, wf::kDestWindows));
  PackageImage image = Craft(plan);
  for (Block& block : image.blocks) block.method = 0;  // tables the fuzzer can change in place
  image.volumeSize = 120;
  Bytes input = image.Build();
  const std::string mark = "\n<next volume>\n";
  for (const Bytes& volume : image.Volumes())
    input.insert(input.end(), mark.begin(), mark.end()), input.insert(input.end(), volume.begin(), volume.end());
  std::ofstream(std::string(argv[1]) + "/install.exe", std::ios::binary).write((const char*)input.data(), input.size());
  return 0;
}
