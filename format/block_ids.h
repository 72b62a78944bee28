// Block ids of the Package. Unknown ids are skipped by the reader.
#pragma once
#include <stdint.h>

namespace wrenly::format {

enum BlockId : uint16_t {
  kBlockSetupSettings = 5173,       // 0x1435 SetupSettings with page layouts
  kBlockBitmapTable = 5174,         // 0x1436 panel pictures
  kBlockBackgroundBitmap = 5175,    // 0x1437 one per background variant
  kBlockTitleText = 5176,           // 0x1438 background title
  kBlockFileTable = 5178,           // 0x143A file table of the type loaded last
  kBlockSinglePage = 5179,          // 0x143B SinglePageSettings, uncompressed
  kBlockTitleStyle = 5181,          // 0x143D
  kBlockInstallType = 5182,         // 0x143E InstallType record
  kBlockUninstallerImage = 5183,    // 0x143F uninstaller program
  kBlockBackgroundVariants = 5188,  // 0x1444 BackgroundVariantList
  kBlockUninstallSections = 5189,   // 0x1445 uninstall-record sections of the type loaded last
  kBlockProductDetails = 5376,      // 0x1500 optional: version, publisher, URL for the list of programs
  kBlockProductIdentity = 5377,     // 0x1501 optional: architecture, scope, identity (product_identity.h)
  kBlockEnd = 32639,                // 0x7F7F
};

// Blocks inside the uninstaller file's appended record.
enum UninstallBlockId : uint16_t {
  kUninstallTexts = 0x1234,      // uninstaller's own data, written by the builder
  kUninstallFiles = 0x1235,      // FileRecords
  kUninstallShortcuts = 0x1236,  // ShortcutRecords
};

// SinglePageSettings (block 5179), 4 bytes.
namespace single_page {
inline constexpr uint32_t kPageKind = 0;     // u16
inline constexpr uint32_t kInitialType = 2;  // u16
inline constexpr uint32_t kSize = 4;
static_assert(kInitialType + 2 == kSize);
}  // namespace single_page

// BackgroundVariantList (block 5188): i32 count, then count pairs of i32 width, height.
namespace variant_list {
inline constexpr uint32_t kCount = 0;
inline constexpr uint32_t kPairs = 4;
inline constexpr uint32_t kPairSize = 8;
inline constexpr uint32_t kPairWidth = 0;  // within a pair
inline constexpr uint32_t kPairHeight = 4;
static_assert(kPairHeight + 4 == kPairSize);
}  // namespace variant_list

}  // namespace wrenly::format
