// The tests' package writer: records field by field, blocks framed after a
// filler stub, the end block and the DataArea split into volumes. Readers'
// tests must write what no builder writes, so every length can be made to lie.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/pe_resources.h"
#include "builder/project.h"
#include "format/install_type.h"

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(std::string_view s);
Bytes Zlib(const Bytes& data);
Bytes Bzip2(const Bytes& data);
Bytes Lzma(const Bytes& data, uint8_t filter = 0);                                // the whole kMethodLzma stream
Bytes CompressedPayload(uint32_t unpacked, uint8_t method, const Bytes& stream);  // size, method, stream
Bytes Words(std::initializer_list<uint32_t> words);                               // little-endian u32s
std::string Noise(size_t n, unsigned seed);  // incompressible, the same for the same seed
// An empty folder of the process's own (each test runs in a process of its
// own), emptied again on each call and removed at exit.
std::filesystem::path EmptyScratch();
std::string ReadAll(const std::filesystem::path& p);  // "<missing>" when there is no file
// A SetupSettings block with empty layouts for the given page kinds.
Bytes SettingsBlock(const std::vector<int>& layoutKinds = {0, 1, 3, 4, 5, 6});

struct InstallTypeFields {
  uint16_t options = wrenly::format::kOptFolderEditable | wrenly::format::kOptRegisterUninstall;
  std::optional<std::string> productName = "Demo";
  std::optional<std::string> defaultFolder = "C:\\Program Files\\Demo";
  std::optional<std::string> folderKey, folderValue, iniFile, iniSection, iniKey;
  Bytes sequence{0, 1, 3, 4, 5, 6, 0xFF};
  std::array<std::optional<std::vector<std::string>>, 10> lists;
};
Bytes InstallTypeRecord(const InstallTypeFields& plan);

struct FileEntryFields {
  std::vector<std::string> items = {"file.txt"};  // item 0 is the name
  uint32_t kind = 0, flags = 0;
  uint16_t status = 0;
  uint32_t size = 0, checksum = 0, dataOffset = 0, storedLength = 0;
  uint32_t versionMS = 0, versionLS = 0, language = 0;
  uint16_t iconIndex = 0;
};
Bytes FileTable(const std::vector<FileEntryFields>& entries);

struct Block {
  uint16_t id;
  uint16_t flags = 0;
  Bytes payload;
  std::optional<uint32_t> length;  // header length when it must lie
  uint8_t method = 0;              // compressed when framed, unless 0
};

struct PackageImage {
  uint32_t signatureAt = 2048;
  Bytes stub;  // a real program before the signature, else filler
  std::vector<Block> blocks;
  Bytes dataArea;
  uint32_t trailing = 0;          // bytes after the DataArea
  uint32_t volumeSize = 0;        // DataArea bytes per part; 0 one part
  std::optional<uint32_t> cutAt;  // the setup file ends here

  PackageImage& Add(uint16_t id, Bytes payload, uint16_t flags = 0, uint8_t method = 0) {
    blocks.push_back({id, flags, std::move(payload), std::nullopt, method});
    return *this;
  }
  PackageImage& AddType(const InstallTypeFields& plan = {});
  Block* Find(uint16_t id, int nth = 0);
  // The setup file: stub, blocks, the DataArea's first part.
  Bytes Build(std::vector<uint32_t>* blockAt = nullptr) const;
  std::vector<Bytes> Volumes() const;  // .D01, .D02, ...
  std::filesystem::path Write(const std::filesystem::path& setup) const;
};

PackageImage TypicalPackage();  // one type, a 100-byte DataArea, list 7's title and "incomplete"

// The inspector's richer package: what the builder writes for a project with
// its whole look, two types and files of every kind, split back into blocks.
wrenly::builder::Project TypicalPlan();
PackageImage Craft(const wrenly::builder::Project& plan);  // blocks zlib-compressed
// A setup file of one part split back into its stub, blocks and DataArea, the
// same way.
PackageImage Split(const Bytes& setup);

// The least Windows program with a resource section: `resources` in it.
Bytes SmallProgram(const std::vector<wrenly::builder::Resource>& resources);
