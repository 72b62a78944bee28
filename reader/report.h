// The printing side of Inspect, one function per part of the package.
// Problems found while printing are appended to `problems`.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "reader/reader.h"
#include "reader/package.h"

namespace wrenly::inspector {

using Problems = std::vector<std::string>;

void PrintContainer(const Package& pkg, std::ostream& out);
void PrintLook(const Package& pkg, std::ostream& out, Problems& problems);
void PrintInstallType(const Package& pkg, size_t type, const InspectOptions& options, std::ostream& out,
                      Problems& problems);
void PrintDataArea(const Package& pkg, std::ostream& out);
// Decodes every entry with data of every type and checks size and checksum.
void VerifyEntries(const Package& pkg, std::ostream& out, Problems& problems);

// Whether an entry carries data in the DataArea (folders and source-folder
// entries carry none).
bool HasData(const format::FileEntryView& e);
bool IsUninstallerEntry(const format::FileEntryView& e);
std::string EntryName(const Package& pkg, size_t type, size_t index);

// An installed uninstaller ends in an end header that marks its records complete.
bool IsInstalledUninstaller(const std::filesystem::path& file);
// Its records: files with folder, name and kind flags, shortcuts, sections.
void PrintUninstaller(const std::filesystem::path& file, std::ostream& out);

}  // namespace wrenly::inspector
