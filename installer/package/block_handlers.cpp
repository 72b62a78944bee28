#include "package/block_handlers.h"

#include <string.h>

#include "base/package_model.h"
#include "base/setup.h"
#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "package/block_checks.h"
#include "package/install_types.h"
#include "package/package.h"

namespace wf = wrenly::format;

namespace {

// Reads a payload into *slot (replacing what was there) when check accepts it.
int ReadInto(Setup& setup, FileHandle file, const wf::BlockHeader& h, uint8_t** slot, uint32_t* size,
             int (*check)(const uint8_t*, uint32_t) = nullptr) {
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(setup, file, h, &buffer, &n);
  if (r != kLoadOk) return r;
  if (check && !check(buffer, n)) {
    FreeBuffer(&buffer);
    return kLoadDamaged;
  }
  FreeBuffer(slot);
  *slot = buffer;
  if (size) *size = n;
  return kLoadOk;
}

int CheckTitleText(const uint8_t* block, uint32_t size) { return wf::ByteView{block, size}.CString(0) != nullptr; }

int CheckTitleStyle(const uint8_t*, uint32_t size) { return size >= wf::title_style::kSize; }

int HandleSettings(Setup& setup, FileHandle file, const wf::BlockHeader& h) {
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(setup, file, h, &buffer, &n);
  if (r != kLoadOk) return r;
  const uint8_t* layouts[kLayoutSlots];
  if (!ResolveSettings(buffer, n, layouts)) {
    FreeBuffer(&buffer);
    return kLoadDamaged;
  }
  FreeBuffer(&setup.package.settings);
  setup.package.settings = buffer;
  setup.package.settingsSize = n;
  memcpy(setup.package.layouts, layouts, sizeof layouts);
  return kLoadOk;
}

int HandleBackground(Setup& setup, WalkState& walk, FileHandle file, const wf::BlockHeader& h) {
  if (walk.variantCountdown != 0) {
    if (walk.variantCountdown > 0) --walk.variantCountdown;
    return kLoadOk;
  }
  walk.variantCountdown = -1;
  return ReadInto(setup, file, h, &setup.package.background, &setup.package.backgroundSize);
}

int HandleVariantList(Setup& setup, WalkState& walk, FileHandle file, const wf::BlockHeader& h) {
  uint8_t* list = nullptr;
  uint32_t n;
  int r = ReadInto(setup, file, h, &list, &n, CheckVariantList);
  if (r != kLoadOk) return r;
  walk.variantCountdown = ChooseBackgroundVariant(list);
  FreeBuffer(&list);
  return kLoadOk;
}

int HandleSinglePage(Setup& setup, WalkState& walk, FileHandle file, const wf::BlockHeader& h) {
  uint8_t settings[wf::single_page::kSize];
  if (h.length < sizeof settings) return kLoadDamaged;
  if (FileRead(file, settings, sizeof settings) != 0) return kLoadReadFailed;
  setup.singlePageMode = true;
  setup.singlePageKind = wf::LoadU16(settings + wf::single_page::kPageKind);
  walk.initialType = wf::LoadU16(settings + wf::single_page::kInitialType);
  walk.complete = true;
  return kLoadOk;
}

int HandleInstallType(Setup& setup, WalkState& walk, FileHandle file, const wf::BlockHeader& h) {
  if (walk.typeIndex + 1 >= (int)wf::kMaxInstallTypes) return kLoadDamaged;
  InstallTypeSlot* slot = &setup.package.types[++walk.typeIndex];
  setup.package.typeCount = walk.typeIndex + 1;  // so FreePackage finds the slot
  int r = ReadBlockPayload(setup, file, h, &slot->record, &slot->recordSize);
  if (r != kLoadOk) return r;
  if (!ResolveInstallType(slot)) return kLoadDamaged;
  if (!AllocZeroed(kPathSize, &slot->folder)) return kLoadNoFolderMemory;
  DetectPreviousFolder(setup, slot);
  memcpy(slot->folder, setup.installFolder, kPathSize);
  slot->folder[kPathSize - 1] = 0;
  ClosePageSequence(slot->record + wf::install_type::kPageSequence);
  return kLoadOk;
}

// From `at`, each of `count` StringFields' bytes move two places down over
// its length field, so that the text ends in a NUL where the next field's
// length began.
int TerminateFields(uint8_t* block, uint32_t size, uint32_t at, uint32_t count, const char** texts) {
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t n;
    if (!wf::ByteView{block, size}.U16(at, &n) || size - at - 2 < n) return 0;
    memmove(block + at, block + at + 2, n);
    block[at + n] = 0;
    texts[i] = (const char*)block + at;
    at += 2 + n;
  }
  return 1;
}

// Optional: a damaged one costs the list of programs some details, never
// the installation.
int HandleDetails(Setup& setup, FileHandle file, const wf::BlockHeader& h) {
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(setup, file, h, &buffer, &n);
  if (r != kLoadOk) return r == kLoadDamaged ? kLoadOk : r;
  const char* texts[wf::product_details::kFieldCount];
  if (!TerminateFields(buffer, n, 0, wf::product_details::kFieldCount, texts)) {
    FreeBuffer(&buffer);
    return kLoadOk;
  }
  FreeBuffer(&setup.package.details);
  setup.package.details = buffer;
  memcpy(setup.package.detailTexts, texts, sizeof texts);
  return kLoadOk;
}

// Read before the types, whose folders depend on it. Values this program
// does not know are kept: the run refuses them before any window.
int HandleIdentity(Setup& setup, FileHandle file, const wf::BlockHeader& h) {
  namespace pi = wf::product_identity;
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(setup, file, h, &buffer, &n);
  if (r != kLoadOk) return r;
  const char* id;
  if (n < pi::kFixedSize || !TerminateFields(buffer, n, pi::kId, 1, &id)) {
    FreeBuffer(&buffer);
    return kLoadDamaged;
  }
  Package& p = setup.package;
  FreeBuffer(&p.identity);
  p.identity = buffer;
  p.architecture = buffer[pi::kArchitecture];
  p.scope = buffer[pi::kScope];
  p.identityFlags = wf::LoadU16(buffer + pi::kFlags);
  p.productId = *id ? id : nullptr;
  setup.wideView = p.architecture == wf::kArchitectureX64 && Is64BitWindows();
  return kLoadOk;
}

// Blocks that belong to the type loaded last.
InstallTypeSlot* LastType(Setup& setup, const WalkState& walk) {
  return walk.typeIndex < 0 ? nullptr : &setup.package.types[walk.typeIndex];
}

}  // namespace

int HandleBlock(Setup& setup, WalkState& walk, FileHandle file, const wf::BlockHeader& h) {
  switch (h.id) {
    case wf::kBlockSetupSettings: return HandleSettings(setup, file, h);
    case wf::kBlockBitmapTable:
      if (walk.resumed) return kLoadOk;
      return ReadInto(setup, file, h, &setup.package.bitmapTable, &setup.package.bitmapTableSize, CheckBitmapTable);
    case wf::kBlockBackgroundBitmap:
      if (walk.resumed) return kLoadOk;
      return HandleBackground(setup, walk, file, h);
    case wf::kBlockTitleText:
      return ReadInto(setup, file, h, &setup.package.titleText, &setup.package.titleTextSize, CheckTitleText);
    case wf::kBlockFileTable: {
      InstallTypeSlot* t = LastType(setup, walk);
      if (!t) return kLoadDamaged;
      return ReadInto(setup, file, h, &t->fileTable, &t->fileTableSize, CheckFileTable);
    }
    case wf::kBlockSinglePage: return HandleSinglePage(setup, walk, file, h);
    case wf::kBlockTitleStyle:
      return ReadInto(setup, file, h, &setup.package.titleStyle, &setup.package.titleStyleSize, CheckTitleStyle);
    case wf::kBlockInstallType: return HandleInstallType(setup, walk, file, h);
    case wf::kBlockUninstallerImage:
      return ReadInto(setup, file, h, &setup.package.uninstaller, &setup.package.uninstallerSize);
    case wf::kBlockProductDetails: return HandleDetails(setup, file, h);
    case wf::kBlockProductIdentity: return HandleIdentity(setup, file, h);
    case wf::kBlockBackgroundVariants:
      if (walk.resumed) return kLoadOk;
      return HandleVariantList(setup, walk, file, h);
    case wf::kBlockUninstallSections: {
      InstallTypeSlot* t = LastType(setup, walk);
      if (!t) return kLoadDamaged;
      return ReadInto(setup, file, h, &t->sections, &t->sectionsSize);
    }
    default: return kLoadOk;
  }
}
