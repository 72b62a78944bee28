// What the tools read of a package: the head (every block up to the end
// block) in memory, checked; the DataArea only located, never loaded.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "format/bytes.h"
#include "format/file_entry.h"

namespace wrenly::inspector {

using Bytes = std::vector<uint8_t>;

inline format::ByteView View(const Bytes& b) { return {b.data(), static_cast<uint32_t>(b.size())}; }

struct BlockInfo {
  uint64_t offset;  // of the header in the package file
  uint16_t id;
  uint16_t flags;
  uint32_t length;
  bool compressed;
  uint32_t unpackedSize;  // compressed blocks only
  uint8_t method;         // compressed blocks only
};

struct InstallTypeData {
  Bytes record;
  std::optional<Bytes> fileTable;
  std::optional<Bytes> sections;
  // Views into *fileTable, filled once the walk is over.
  std::vector<format::FileEntryView> entries;
};

// One part of the DataArea: the package file's own, or a DataVolume.
struct DataPart {
  std::filesystem::path path;
  uint64_t fileOffset;  // of the first data byte
  uint32_t size;
};

struct Package {
  std::filesystem::path path;
  uint64_t fileSize = 0;
  uint32_t signatureOffset = 0;
  std::vector<BlockInfo> blocks;

  std::optional<Bytes> settings;
  std::optional<Bytes> bitmapTable;
  std::vector<Bytes> backgrounds;
  std::optional<Bytes> backgroundVariants;
  std::optional<Bytes> title;
  std::optional<Bytes> titleStyle;
  std::optional<Bytes> uninstaller;
  std::optional<Bytes> details;   // ProductDetails, unpacked
  std::optional<Bytes> identity;  // ProductIdentity, unpacked
  std::optional<uint16_t> singlePageKind;
  uint16_t initialType = 0;
  std::vector<InstallTypeData> types;

  // StubMethodBits of the Installer image, when known (LearnStubDecoders).
  std::optional<uint32_t> stubDecoders;

  uint64_t endBlockOffset = 0;
  uint32_t endLengthField = 0;
  std::vector<DataPart> parts;  // parts[0] is the package file's own
  // The first volume that was looked for and not found.
  std::filesystem::path missingVolume;
  // Findings that do not stop the reading: a volume shorter than it says.
  std::vector<std::string> problems;

  uint64_t DataAreaSize() const {
    uint64_t n = 0;
    for (auto& p : parts) n += p.size;
    return n;
  }
};

// Reads and checks the head and locates the DataArea with its volumes.
// Throws Damaged for anything the Installer would refuse or misread.
Package ReadPackage(const std::filesystem::path& setup);
// The same into `pkg`, which keeps what was read before a Damaged: the file's
// size, the signature's offset (0 when none) and the blocks up to the damage.
void ReadPackageInto(const std::filesystem::path& setup, Package& pkg);

// Whether the Installer reads block `id`; it skips the others.
bool IsKnownBlock(uint16_t id);

// Reads the Installer image before the signature and asks `decoders` what it
// holds; without an answer pkg.stubDecoders stays empty.
void LearnStubDecoders(Package& pkg,
                       const std::function<std::optional<uint32_t>(const std::vector<uint8_t>&)>& decoders);

// The path of DataVolume `number` (1-based) beside the package.
std::filesystem::path VolumePath(const std::filesystem::path& setup, int number);

}  // namespace wrenly::inspector
