// The printing side of Inspect, one function per part of the package.
// Problems found while printing are appended to `problems`.
#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "reader/package.h"
#include "reader/reader.h"

namespace wrenly::inspector {

using Problems = std::vector<std::string>;

// Inspect's JSON document (json_document.cpp).
ReadResult InspectJson(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
                       std::ostream& err);

void PrintContainer(const Package& pkg, std::ostream& out);
// Blocks and entries stored with a method the Installer image cannot decode:
// the Installer would refuse them as damaged.
void CheckDecoders(const Package& pkg, Problems& problems);
void PrintLook(const Package& pkg, std::ostream& out, Problems& problems);
void PrintInstallType(const Package& pkg, size_t type, const InspectOptions& options, std::ostream& out,
                      Problems& problems);
void PrintDataArea(const Package& pkg, std::ostream& out);
struct EntryCheck {
  size_t type, index;
  std::string problem;  // empty when sound
  bool placeReported;   // its data lies outside the DataArea, a problem of the file table
};
// Decodes every entry with data of every type and checks size and checksum.
std::vector<EntryCheck> CheckEntries(const Package& pkg);
// Reports the checks' problems and prints their count.
void VerifyEntries(const std::vector<EntryCheck>& checks, const Package& pkg, std::ostream& out, Problems& problems);
// Why an entry's data cannot be where its entry says, or "".
std::string DataPlaceProblem(const Package& pkg, const format::FileEntryView& e);

// Whether an entry carries data in the DataArea (folders and source-folder
// entries carry none).
bool HasData(const format::FileEntryView& e);
bool IsUninstallerEntry(const format::FileEntryView& e);
std::string EntryName(const Package& pkg, size_t type, size_t index);

// An installed uninstaller ends in an end header that marks its records complete.
bool IsInstalledUninstaller(const std::filesystem::path& file);
// What `inspect` shows of one: its texts and the plan of what it would
// remove, read by the uninstaller's own core. Throws Damaged.
struct PlannedStep {
  const char* kind;  // "file", "registry value", ...
  std::string path;  // registry: root and key; below the installation folder: "<installation folder>\..."
  std::optional<std::string> value;         // registry value name
  std::optional<std::string> section, key;  // INI value
  const char* refusal;                      // why the step is refused, or null
};
// A record's product section: how that installation belongs on the machine.
struct RecordProduct {
  uint32_t record;
  uint8_t architecture, scope;
  uint16_t flags;
  std::string id;
};
struct UninstallerFacts {
  uint32_t size = 0, programSize = 0, records = 0;
  std::vector<std::string> texts;
  std::vector<RecordProduct> products;  // records written before the identity have none
  std::vector<PlannedStep> plan;
};
UninstallerFacts ReadUninstaller(const std::filesystem::path& file);
const char* UninstallerTextName(size_t index);  // null past the known ones
void PrintUninstaller(const UninstallerFacts& facts, std::ostream& out);
void PrintUninstaller(const std::filesystem::path& file, std::ostream& out);

}  // namespace wrenly::inspector
