// The loaded Package. Payloads stay in the buffers they were read into; the
// offsets stored in them are left alone and resolved into the references
// kept here, once, when a block is loaded.
#pragma once
#include <stdint.h>

#include "format/install_type.h"
#include "format/product_identity.h"
#include "format/settings.h"
#include "format/uninstall_log.h"

inline constexpr uint32_t kLayoutSlots = wrenly::format::setup_settings::kLayoutCount + 1;

// One installation type's slot.
struct InstallTypeSlot {
  uint8_t* record;
  uint32_t recordSize;
  // Resolved string fields; null when absent.
  const char* productName;
  const char* typeName;
  const char* defaultFolder;
  const char* folderKey;
  const char* folderValue;
  const char* iniFile;
  const char* iniSection;
  const char* iniKey;
  // The ten MessageLists, each validated against the record; null when absent.
  const uint8_t* lists[wrenly::format::install_type::kMessageListCount];
  char* folder;  // 260 bytes
  uint8_t* fileTable;
  uint32_t fileTableSize;
  uint8_t* sections;  // uninstall-record sections
  uint32_t sectionsSize;
};

struct Package {
  InstallTypeSlot types[wrenly::format::kMaxInstallTypes];
  int typeCount;
  int current;  // -1 before the first selection
  const InstallTypeSlot* currentType;
  const uint8_t* firstEntry;  // of the current file table
  uint32_t entryCount;

  uint8_t* settings;
  uint32_t settingsSize;
  // PageLayouts of page kinds 0..10, checked to lie inside the settings
  // block; slot 10 is the built-in closing layout.
  const uint8_t* layouts[kLayoutSlots];
  uint8_t* bitmapTable;
  uint32_t bitmapTableSize;
  uint8_t* background;
  uint32_t backgroundSize;
  uint8_t* titleText;
  uint32_t titleTextSize;
  uint8_t* titleStyle;
  uint32_t titleStyleSize;
  uint8_t* uninstaller;
  uint32_t uninstallerSize;
  // ProductDetails, its strings terminated in place; null when absent.
  uint8_t* details;
  const char* detailTexts[wrenly::format::product_details::kFieldCount];
  // ProductIdentity; a package without one is a 32-bit machine-wide product
  // known by its type's product name.
  uint8_t* identity;
  uint8_t architecture;  // an Architecture
  uint8_t scope;         // a Scope
  uint16_t identityFlags;
  const char* productId;  // the key in the list of installed programs; null: the product name

  uint8_t* scanBuffer;  // signature search, reused across calls
  uint32_t scanBufferSize;
  uint32_t firstBlock;  // file offset of the first block, once found
};
