// The builder's own look (theme, pictures, title style, uninstaller data),
// two install types with files of every kind.
#include <zlib.h>

#include "builder/dib.h"
#include "builder/package_writer.h"
#include "builder/records.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "package_writer.h"

namespace wf = wrenly::format;
namespace wb = wrenly::builder;

PackageImage Craft(const wb::Project& plan) {
  PackageImage p;
  Bytes s = wb::AssemblePackage(plan, Bytes(p.signatureAt, 'S')).setup;
  uint32_t at = p.signatureAt + wf::kSignatureSize, length;
  for (; wf::LoadU16(&s[at]) != wf::kBlockEnd; at += wf::block_header::kSize + length) {
    length = wf::LoadU32(&s[at + wf::block_header::kLength]);
    Bytes payload(&s[at + wf::block_header::kSize], &s[at + wf::block_header::kSize + length]);
    if (wf::LoadU16(&s[at + wf::block_header::kFlags]) & wf::kBlockCompressed) {
      uLongf size = wf::LoadU32(payload.data()), stream = wf::compressed_payload::kStream;
      Bytes raw(size);
      uncompress(raw.data(), &size, &payload[stream], length - stream);
      payload = raw;
    }
    p.Add(wf::LoadU16(&s[at]), payload, 0, wf::kMethodZlib);
  }
  p.dataArea.assign(s.begin() + at + wf::block_header::kSize + wf::kEndBlockSizeField, s.end());
  return p;
}

wb::Project TypicalPlan() {
  using enum wb::Compression;
  wb::Project p{.product = "Demo Product", .fullscreen = true, .title = "Demo Product\nSetup",
                .variants = {{1024, 768, wb::MakeBmpFile({4, 4, Bytes(48, 9)})}},
                .sideBitmap = wb::MakeDib({3, 2, Bytes(18)}), .headerBitmap = wb::MakeDib({1, 1, Bytes(3)}),
                .uninstallerImage = ToBytes("MZ-uninstaller-image")};
  wb::InstallTypeConfig full{.name = "Full", .folder = "#ProgramFiles#\\Demo",
                             .folderRegistry = wb::RegistryPlace{2, "Software\\Demo", "Path"}, .options = 0x22,
                             .pages = {0, 1, 3, 4, 5, 6}, .uninstallSections = ToBytes("registry-sections")};
  full.texts[0] = {"Welcome to Demo", "Subtitle", "This installs Demo.\nClick Next."};
  full.texts[7] = std::vector<std::string>(32, "");
  full.texts[7].back() = "The package is incomplete.";
  full.texts[8] = {"< &Back", "&Next >", "Cancel"};
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
  full.files = {
      {.content = ToBytes("Read me first.\n"), .items = {"readme.txt", "Demo", "Readme", "", "", "Readme"}},
      {.content = ToBytes(big), .compression = kBzip2, .items = {"data\\img\\a.bmp"}},
      {.flags = wf::kFlagFolder, .items = {"data\\empty\\"}},
      {.content = ToBytes("dll bytes"), .flags = wf::kFlagVersionCheck | wf::kFlagShared, .kind = wf::kDestWindows,
       .versionMS = 0x00010002, .versionLS = 0x00030004, .language = 0x0409, .items = {"sys\\x.dll"}},
      {.content = ToBytes("tool"), .flags = 0x01000000 | wf::kFlagRunWait, .kind = wf::kDestCustom,
       .items = {"tool.exe", "", "", "", "", "", "", "", "/quiet", "#CommonFiles#\\Acme"}},
      {.flags = wf::kFlagSourceFolder, .items = {"extra.txt"}},
      {.kind = wf::kDestMyDocuments, .items = {"empty.txt"}},
      {.content = wb::BuildUninstallerData({"Bye!"}), .status = wf::kOptUninstaller, .items = {"uninst.exe"}},
  };
  wb::InstallTypeConfig mini{.name = "Full", .folder = "#parent#", .pages = {0, 5, 6}};
  mini.files = {{.content = ToBytes("minimal only"), .compression = kBzip2, .items = {"mini\\only.txt"}},
                {.content = ToBytes("flat"), .flags = wf::kFlagTimes, .kind = wf::kDestInstallDirFlat,
                 .items = {"flat\\name.txt"}}};
  p.types = {full, mini};
  return p;
}
