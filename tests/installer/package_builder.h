// Crafts package files for the loader's tests: a stub of filler bytes, the
// signature, blocks, the end block and a DataArea.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct CraftedBlock {
  uint16_t id;
  uint16_t flags;
  Bytes payload;
  std::optional<uint32_t> length;  // header length when it must lie
};

struct InstallTypeSpec {
  uint16_t options = 0x22;
  std::optional<std::string> productName = "Demo";
  std::optional<std::string> defaultFolder = "C:\\Program Files\\Demo";
  uint32_t folderRoot = 1;
  std::optional<std::string> folderKey, folderValue, iniFile, iniSection, iniKey;
  Bytes sequence{0, 1, 3, 4, 5, 6, 0xFF};
  std::array<std::optional<std::vector<std::string>>, 10> lists;
};

Bytes InstallTypeRecord(const InstallTypeSpec& plan);
// A SetupSettings block with empty layouts for the given page kinds.
Bytes SettingsBlock(const std::vector<int>& layoutKinds = {0, 1, 3, 4, 5, 6});
Bytes FileTable(uint32_t entries);
Bytes Zlib(const Bytes& data);
Bytes Bzip2(const Bytes& data);
// Unpacked size, method byte, stream.
Bytes CompressedPayload(uint32_t unpacked, uint8_t method, const Bytes& stream);
Bytes VariantList(const std::vector<std::pair<int, int>>& sizes);

struct PackageImage {
  uint32_t signatureAt = 2048;
  std::vector<CraftedBlock> blocks;
  Bytes dataArea;
  std::optional<uint32_t> declaredDataSize;
  uint32_t trailing = 0;  // bytes after the DataArea

  PackageImage& Add(uint16_t id, Bytes payload, uint16_t flags = 0) {
    blocks.push_back({id, flags, std::move(payload), std::nullopt});
    return *this;
  }
  PackageImage& AddType(const InstallTypeSpec& plan = {});
  Bytes Build() const;
  // Offset of the end block's header in Build()'s result.
  uint32_t EndBlockAt() const;
};

// A typical one-type package.
PackageImage TypicalPackage();

// Writes bytes to a fresh file under the test temp folder; returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);
