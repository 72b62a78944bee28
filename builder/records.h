// Serialises the project's parts into block payloads.
#pragma once
#include <cstdint>
#include <vector>

#include "builder/project.h"

namespace wrenly::builder {

// Where an entry's data lies in the DataArea, known once everything is compressed.
struct EntryData {
  uint32_t checksum = 0, size = 0, offset = 0, storedLength = 0;
};

std::vector<uint8_t> BuildInstallTypeRecord(const Project& project, const InstallTypeConfig& type);
std::vector<uint8_t> BuildFileEntry(const FileItem& item, const EntryData& data);
std::vector<uint8_t> BuildBitmapTable(const std::vector<Dib>& dibs);
std::vector<uint8_t> BuildTitleStyle(const TitleStyleConfig& style);
std::vector<uint8_t> BuildVariantList(const std::vector<BackgroundVariant>& variants);
// The uninstaller's own data: a 0x1234 block of texts, then an end header.
std::vector<uint8_t> BuildUninstallerData(const std::vector<std::string>& texts);
// ProductDetails: version, publisher and URL for the list of installed programs.
std::vector<uint8_t> BuildProductDetails(const Project& project);
// ProductIdentity: architecture, scope, flags and the id, for the package
// and, as the first section, for every record the uninstaller reads.
std::vector<uint8_t> BuildProductIdentity(const Project& project);
// A type's 5189 payload: the product section (a 64-bit product's only), then
// the type's own sections.
std::vector<uint8_t> BuildUninstallSections(const Project& project, const InstallTypeConfig& type);

// Builders of the 5189 sections the uninstaller acts on.
void AddRegistryKeySection(std::vector<uint8_t>& sections, uint32_t root, const std::string& key);
void AddRegistryValueSection(std::vector<uint8_t>& sections, uint32_t root, const std::string& key,
                             const std::string& value);
void AddIniValueSection(std::vector<uint8_t>& sections, const IniPlace& place);

}  // namespace wrenly::builder
