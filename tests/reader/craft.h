// Builds small but complete setup programs for the inspector's tests: a
// dummy stub, the package blocks and a DataArea, optionally split into
// volumes. Hooks let a test damage any record before it is framed.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace craft {

using Bytes = std::vector<uint8_t>;

Bytes Compress(const Bytes& data, uint8_t method);
Bytes ToBytes(const std::string& s);

struct FileSpec {
  std::string name;
  uint32_t kind = 0;
  uint32_t flags = 0;
  uint16_t status = 0;
  std::string content;
  uint8_t method = 1;
  std::vector<std::string> items;  // items 1.. after the name
  std::function<void(Bytes& record)> patch;  // applied to the finished record
  std::function<void(Bytes& data)> patchData;  // to the method byte + stream
};

struct TypeSpec {
  std::string product = "Demo";
  std::string defaultFolder = "#ProgramFiles#\\Demo";
  std::string folderKey;  // registry key of the folder value, "" none
  std::vector<uint8_t> pages = {0, 1, 3, 4, 5, 6};
  std::vector<std::vector<std::string>> lists;  // lists 0.., an empty list is absent
  std::vector<FileSpec> files;
  std::string sections;  // payload of its uninstall sections, "" none
  std::function<void(Bytes& record)> patchRecord;
  std::function<void(Bytes& table)> patchTable;
};

struct PackageSpec {
  uint32_t stubSize = 2048;
  std::vector<TypeSpec> types;
  std::string uninstaller;   // image of block 5183, "" none
  uint8_t blockMethod = 1;   // 0 = blocks stored uncompressed
  uint32_t volumeSize = 0;   // data bytes per part; 0 = no volumes
  std::function<void(Bytes& settings)> patchSettings;
  // Raw blocks (id, flags, payload) framed right after the signature, and
  // just before the end block.
  std::vector<std::tuple<uint16_t, uint16_t, Bytes>> leadingBlocks;
  std::vector<std::tuple<uint16_t, uint16_t, Bytes>> extraBlocks;
};

struct Crafted {
  Bytes setup;
  std::vector<Bytes> volumes;
  uint64_t dataStart = 0;          // file offset of the DataArea
  uint64_t endBlock = 0;           // file offset of the end block header
  std::vector<uint64_t> blockAt;   // file offset of every block header, in order
};

Crafted Craft(const PackageSpec& plan);
// Writes setup and its volumes (name.D01 ...) and returns the setup path.
std::filesystem::path Write(const Crafted& c, const std::filesystem::path& setup);

// Two install types with files of several kinds, methods, a folder entry, a
// source-folder entry and the uninstaller entry.
PackageSpec TypicalSpec();

}  // namespace craft
