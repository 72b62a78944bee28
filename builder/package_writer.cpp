#include "builder/package_writer.h"

#include <cstdio>
#include <fmt/format.h>
#include <fstream>
#include "builder/compress.h"
#include "builder/output_files.h"
#include "builder/records.h"
#include "builder/theme.h"
#include "format/settings.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/writer.h"

namespace wrenly::builder {
namespace f = wrenly::format;
namespace fs = std::filesystem;

namespace {

// Payloads at least this large are stored compressed when that saves bytes.
constexpr size_t kCompressBlocksFrom = 64;

void WriteBlock(f::ByteWriter& w, uint16_t id, const std::vector<uint8_t>& payload, bool mayCompress = true) {
  if (mayCompress && payload.size() >= kCompressBlocksFrom) {
    std::vector<uint8_t> stream = CompressZlib(payload, 9);
    if (stream.size() + f::compressed_payload::kHeadSize < payload.size()) {
      w.U16(id);
      w.U16(f::kBlockCompressed);
      w.U32(static_cast<uint32_t>(stream.size() + f::compressed_payload::kHeadSize));
      w.U32(static_cast<uint32_t>(payload.size()));
      w.U8(f::kMethodZlib);
      w.Bytes(stream);
      return;
    }
  }
  w.U16(id);
  w.U16(0);
  w.U32(static_cast<uint32_t>(payload.size()));
  w.Bytes(payload);
}

struct Job {
  const FileItem* item;
  std::vector<uint8_t> stored;
  EntryData data;
};

}  // namespace

fs::path VolumePath(const fs::path& setup, int number) {
  fs::path p = setup;
  std::string suffix = fmt::format(".D{:02d}", number);
  if (p.filename().string().find('.') == std::string::npos) return p.string() + suffix;
  return p.replace_extension(suffix);
}

PackageImage AssemblePackage(const Project& project, const std::vector<uint8_t>& stub,
                             const ProgressFn& progress, unsigned threads) {
  if (stub.size() > f::kMaxStubSize)
    throw BuildError(fmt::format("the Installer stub is {} bytes; at most {} fit before the signature window ends",
                                 stub.size(), f::kMaxStubSize));

  // The Installer takes the first signature it finds; one inside the stub
  // would hide the package.
  for (size_t p = f::kSignatureMinOffset; p + f::kSignatureSize <= stub.size(); ++p)
    if (f::IsSignatureAt(&stub[p]))
      throw BuildError(fmt::format("the Installer stub holds the package signature itself at offset {}; "
                                   "the Installer would take it for the start of the package", p));

  // Every entry of every type, in table order; data lies back to back in that order.
  std::vector<Job> jobs;
  for (const auto& type : project.types)
    for (const auto& item : type.files) jobs.push_back(Job{&item, {}, {}});
  uint64_t totalIn = 0;
  for (const auto& j : jobs) totalIn += j.item->content.size();

  std::vector<std::vector<uint8_t>*> order;
  uint64_t dataSize = 0, bytesIn = 0;
  ParallelForOrdered(
      jobs.size(), threads,
      [&](size_t i) {
        Job& j = jobs[i];
        const FileItem& item = *j.item;
        if (item.flags & (f::kFlagFolder | f::kFlagSourceFolder)) return;
        ThrowIfInterrupted();
        j.stored = CompressEntry(item.content, item.compression, item.level);
        j.data.size = static_cast<uint32_t>(item.content.size());
        j.data.checksum = f::UpdateFileChecksum(0, item.content.data(), item.content.size());
      },
      [&](size_t i) {
        Job& j = jobs[i];
        if (!j.stored.empty()) {
          if (dataSize + j.stored.size() > 0xFFFFFFFFull)
            throw BuildError(j.item->where, "the data of all files exceeds 4 GB");
          j.data.offset = static_cast<uint32_t>(dataSize);
          j.data.storedLength = static_cast<uint32_t>(j.stored.size());
          dataSize += j.stored.size();
        }
        bytesIn += j.item->content.size();
        if (progress) progress(i + 1, jobs.size(), bytesIn);
      });
  (void)totalIn;

  f::ByteWriter w;
  w.Bytes(stub);
  if (w.size() < f::kSignatureMinOffset) w.Zeros(f::kSignatureMinOffset - w.size());
  w.Bytes(f::kSignature, f::kSignatureSize);

  ThemeOptions theme;
  theme.flags = (project.fullscreen ? f::kSetBackgroundMode | f::kSetMaximised : 0) |
                (project.gradient ? f::kSetGradient : 0) | project.bitmapPlacement;
  theme.topColour = project.topColour;
  theme.bottomColour = project.bottomColour;
  WriteBlock(w, f::kBlockSetupSettings, BuildSetupSettings(theme));
  WriteBlock(w, f::kBlockBitmapTable, BuildBitmapTable({project.sideBitmap, project.headerBitmap}));
  if (!project.variants.empty()) {
    WriteBlock(w, f::kBlockBackgroundVariants, BuildVariantList(project.variants));
    for (const auto& v : project.variants) WriteBlock(w, f::kBlockBackgroundBitmap, v.bmpFile);
  }
  if (!project.title.empty()) {
    std::vector<uint8_t> text(project.title.begin(), project.title.end());
    text.push_back(0);
    WriteBlock(w, f::kBlockTitleText, text);
    WriteBlock(w, f::kBlockTitleStyle, BuildTitleStyle(project.titleStyle));
  }
  if (!project.uninstallerImage.empty()) WriteBlock(w, f::kBlockUninstallerImage, project.uninstallerImage);
  if (!project.version.empty() || !project.publisher.empty() || !project.url.empty())
    WriteBlock(w, f::kBlockProductDetails, BuildProductDetails(project));
  if (project.singlePage >= 0) {
    std::vector<uint8_t> single(f::single_page::kSize);
    f::StoreU16(single.data() + f::single_page::kPageKind, static_cast<uint16_t>(project.singlePage));
    f::StoreU16(single.data() + f::single_page::kInitialType, static_cast<uint16_t>(project.initialType));
    WriteBlock(w, f::kBlockSinglePage, single, false);
  }

  size_t next = 0;
  for (const auto& type : project.types) {
    WriteBlock(w, f::kBlockInstallType, BuildInstallTypeRecord(project, type));
    if (!type.uninstallSections.empty()) WriteBlock(w, f::kBlockUninstallSections, type.uninstallSections);
    f::ByteWriter table;
    table.U32(static_cast<uint32_t>(type.files.size()));
    for (size_t k = 0; k < type.files.size(); ++k, ++next) table.Bytes(BuildFileEntry(type.files[k], jobs[next].data));
    WriteBlock(w, f::kBlockFileTable, table.bytes());
  }

  // The DataArea, cut into volumes when a volume size is set.
  uint64_t headSize = w.size() + f::block_header::kSize + f::kEndBlockSizeField;
  uint64_t firstPart = dataSize;
  uint64_t volumeCapacity = 0;
  if (project.volumeSize) {
    if (headSize >= project.volumeSize)
      throw BuildError(Where{project.file.string(), 0},
                       fmt::format("volume_size {} is too small: the setup program alone needs {} bytes",
                                   project.volumeSize, headSize + 1));
    if (project.volumeSize <= f::kVolumeCountField)
      throw BuildError(Where{project.file.string(), 0}, "volume_size must be larger than 4 bytes");
    firstPart = std::min<uint64_t>(dataSize, project.volumeSize - headSize);
    volumeCapacity = project.volumeSize - f::kVolumeCountField;
  }
  w.U16(f::kBlockEnd);
  w.U16(0);
  w.U32(static_cast<uint32_t>(firstPart));
  w.U32(static_cast<uint32_t>(firstPart));

  PackageImage image;
  image.setup = std::move(w.bytes());
  image.setup.reserve(image.setup.size() + firstPart);
  std::vector<uint8_t>* part = &image.setup;
  uint64_t room = firstPart;
  uint64_t left = dataSize;
  for (auto& j : jobs) {
    size_t at = 0;
    while (at < j.stored.size()) {
      if (room == 0) {
        image.volumes.emplace_back();
        part = &image.volumes.back();
        room = std::min<uint64_t>(left, volumeCapacity);
        uint8_t count[4];
        f::StoreU32(count, static_cast<uint32_t>(room));
        part->insert(part->end(), count, count + 4);
      }
      size_t n = static_cast<size_t>(std::min<uint64_t>(room, j.stored.size() - at));
      part->insert(part->end(), j.stored.begin() + at, j.stored.begin() + at + n);
      at += n;
      room -= n;
      left -= n;
    }
    std::vector<uint8_t>().swap(j.stored);
  }
  return image;
}

void WritePackageFiles(const fs::path& output, const PackageImage& image) {
  OutputFiles files({});
  WriteOut(files.Create(output), image.setup.data(), image.setup.size(), output);
  for (size_t i = 0; i < image.volumes.size(); ++i) {
    fs::path path = VolumePath(output, static_cast<int>(i + 1));
    WriteOut(files.Create(path), image.volumes[i].data(), image.volumes[i].size(), path);
  }
  files.Commit();
}

}  // namespace wrenly::builder
