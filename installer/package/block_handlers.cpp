#include "package/block_handlers.h"

#include <string.h>

#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "package/block_checks.h"
#include "package/install_types.h"
#include "package/package.h"
#include "package/package_model.h"
#include "startup/run_state.h"

namespace wf = wrenly::format;

WalkState Walk;

namespace {

// Reads a payload into *slot (replacing what was there) when check accepts it.
int ReadInto(FileHandle file, const wf::BlockHeader& h, uint8_t** slot, uint32_t* size,
             int (*check)(const uint8_t*, uint32_t) = nullptr) {
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(file, h, &buffer, &n);
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

int CheckTitleText(const uint8_t* block, uint32_t size) {
  return wf::ByteView{block, size}.CString(0) != nullptr;
}

int CheckTitleStyle(const uint8_t*, uint32_t size) { return size >= wf::title_style::kSize; }

int HandleSettings(FileHandle file, const wf::BlockHeader& h) {
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(file, h, &buffer, &n);
  if (r != kLoadOk) return r;
  const uint8_t* layouts[kLayoutSlots];
  if (!ResolveSettings(buffer, n, layouts)) {
    FreeBuffer(&buffer);
    return kLoadDamaged;
  }
  FreeBuffer(&ThePackage.settings);
  ThePackage.settings = buffer;
  ThePackage.settingsSize = n;
  memcpy(ThePackage.layouts, layouts, sizeof layouts);
  return kLoadOk;
}

int HandleBackground(FileHandle file, const wf::BlockHeader& h) {
  if (Walk.variantCountdown != 0) {
    if (Walk.variantCountdown > 0) --Walk.variantCountdown;
    return kLoadOk;
  }
  Walk.variantCountdown = -1;
  return ReadInto(file, h, &ThePackage.background, &ThePackage.backgroundSize);
}

int HandleVariantList(FileHandle file, const wf::BlockHeader& h) {
  uint8_t* list = nullptr;
  uint32_t n;
  int r = ReadInto(file, h, &list, &n, CheckVariantList);
  if (r != kLoadOk) return r;
  Walk.variantCountdown = ChooseBackgroundVariant(list);
  FreeBuffer(&list);
  return kLoadOk;
}

int HandleSinglePage(FileHandle file, const wf::BlockHeader& h) {
  uint8_t settings[wf::single_page::kSize];
  if (h.length < sizeof settings) return kLoadDamaged;
  if (FileRead(file, settings, sizeof settings) != 0) return kLoadReadFailed;
  SinglePageMode = true;
  SinglePageKind = wf::LoadU16(settings + wf::single_page::kPageKind);
  Walk.initialType = wf::LoadU16(settings + wf::single_page::kInitialType);
  Walk.complete = true;
  return kLoadOk;
}

int HandleInstallType(FileHandle file, const wf::BlockHeader& h) {
  if (Walk.typeIndex + 1 >= (int)wf::kMaxInstallTypes) return kLoadDamaged;
  InstallTypeSlot* slot = &ThePackage.types[++Walk.typeIndex];
  ThePackage.typeCount = Walk.typeIndex + 1;  // so FreePackage finds the slot
  int r = ReadBlockPayload(file, h, &slot->record, &slot->recordSize);
  if (r != kLoadOk) return r;
  if (!ResolveInstallType(slot)) return kLoadDamaged;
  if (!AllocZeroed(kPathSize, &slot->folder)) return kLoadNoFolderMemory;
  DetectPreviousFolder(slot);
  memcpy(slot->folder, InstallFolder, kPathSize);
  slot->folder[kPathSize - 1] = 0;
  ClosePageSequence(slot->record + wf::install_type::kPageSequence);
  return kLoadOk;
}

// Each StringField's bytes move two places down over its length field, so
// that the text ends in a NUL where the next field's length began.
int TerminateDetails(uint8_t* block, uint32_t size, const char** texts) {
  uint32_t at = 0;
  for (uint32_t i = 0; i < wf::product_details::kFieldCount; ++i) {
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
int HandleDetails(FileHandle file, const wf::BlockHeader& h) {
  uint8_t* buffer;
  uint32_t n = 0;
  int r = ReadBlockPayload(file, h, &buffer, &n);
  if (r != kLoadOk) return r == kLoadDamaged ? kLoadOk : r;
  const char* texts[wf::product_details::kFieldCount];
  if (!TerminateDetails(buffer, n, texts)) {
    FreeBuffer(&buffer);
    return kLoadOk;
  }
  FreeBuffer(&ThePackage.details);
  ThePackage.details = buffer;
  memcpy(ThePackage.detailTexts, texts, sizeof texts);
  return kLoadOk;
}

// Blocks that belong to the type loaded last.
InstallTypeSlot* LastType() {
  return Walk.typeIndex < 0 ? nullptr : &ThePackage.types[Walk.typeIndex];
}

}  // namespace

int HandleBlock(FileHandle file, const wf::BlockHeader& h) {
  switch (h.id) {
    case wf::kBlockSetupSettings:
      return HandleSettings(file, h);
    case wf::kBlockBitmapTable:
      if (Walk.resumed) return kLoadOk;
      return ReadInto(file, h, &ThePackage.bitmapTable, &ThePackage.bitmapTableSize, CheckBitmapTable);
    case wf::kBlockBackgroundBitmap:
      if (Walk.resumed) return kLoadOk;
      return HandleBackground(file, h);
    case wf::kBlockTitleText:
      return ReadInto(file, h, &ThePackage.titleText, &ThePackage.titleTextSize, CheckTitleText);
    case wf::kBlockFileTable: {
      InstallTypeSlot* t = LastType();
      if (!t) return kLoadDamaged;
      return ReadInto(file, h, &t->fileTable, &t->fileTableSize, CheckFileTable);
    }
    case wf::kBlockSinglePage:
      return HandleSinglePage(file, h);
    case wf::kBlockTitleStyle:
      return ReadInto(file, h, &ThePackage.titleStyle, &ThePackage.titleStyleSize, CheckTitleStyle);
    case wf::kBlockInstallType:
      return HandleInstallType(file, h);
    case wf::kBlockUninstallerImage:
      return ReadInto(file, h, &ThePackage.uninstaller, &ThePackage.uninstallerSize);
    case wf::kBlockProductDetails:
      return HandleDetails(file, h);
    case wf::kBlockBackgroundVariants:
      if (Walk.resumed) return kLoadOk;
      return HandleVariantList(file, h);
    case wf::kBlockUninstallSections: {
      InstallTypeSlot* t = LastType();
      if (!t) return kLoadDamaged;
      return ReadInto(file, h, &t->sections, &t->sectionsSize);
    }
    default:
      return kLoadOk;
  }
}
