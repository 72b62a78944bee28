#include "reader/names.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "format/block_ids.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/product_identity.h"
#include "format/settings.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

using BitName = std::pair<uint32_t, const char*>;

// The named bits that are set, then any left over in hex.
std::string Words(uint32_t value, std::initializer_list<BitName> names) {
  std::string out;
  for (auto [bit, name] : names) {
    if (!(value & bit)) continue;
    if (!out.empty()) out += ", ";
    out += name;
    value &= ~bit;
  }
  if (value) {
    if (!out.empty()) out += ", ";
    out += "other " + Hex(value, 0);
  }
  return out.empty() ? "none" : out;
}

}  // namespace

std::string Hex(uint32_t v, int digits) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%0*X", digits, v);
  return b;
}

std::string Colour(uint32_t c) { return c == wf::kSystemColour ? "system" : Hex(c, 6); }

std::string TypeLabel(size_t index) { return "install type " + std::to_string(index + 1); }

std::string BlockName(uint16_t id) {
  switch (id) {
    case wf::kBlockSetupSettings: return "SetupSettings";
    case wf::kBlockBitmapTable: return "BitmapTable";
    case wf::kBlockBackgroundBitmap: return "BackgroundBitmap";
    case wf::kBlockTitleText: return "TitleText";
    case wf::kBlockFileTable: return "FileTable";
    case wf::kBlockSinglePage: return "SinglePageSettings";
    case wf::kBlockTitleStyle: return "TitleStyle";
    case wf::kBlockInstallType: return "InstallType";
    case wf::kBlockUninstallerImage: return "UninstallerImage";
    case wf::kBlockBackgroundVariants: return "BackgroundVariantList";
    case wf::kBlockUninstallSections: return "UninstallSections";
    case wf::kBlockProductDetails: return "ProductDetails";
    case wf::kBlockProductIdentity: return "ProductIdentity";
    case wf::kBlockEnd: return "EndBlock";
    default: return "unknown (skipped)";
  }
}

std::string PageName(uint8_t kind) {
  switch (kind) {
    case wf::kPageWelcome: return "welcome";
    case wf::kPageInformation: return "information";
    case wf::kPageAgreement: return "agreement";
    case wf::kPageDestination: return "destination";
    case wf::kPageReady: return "ready";
    case wf::kPageProgress: return "progress";
    case wf::kPageFinish: return "finish";
    case wf::kPageClosing: return "closing";
    default: return "kind " + std::to_string(kind) + " (no page)";
  }
}

std::string DestKindName(uint32_t kind) {
  switch (kind) {
    case wf::kDestInstallDir:
    case wf::kDestInstallDirFlat:
    case wf::kDestInstallDirFlat6: return "install";
    case wf::kDestWindows: return "windows";
    case wf::kDestShared: return "system";
    case wf::kDestFonts: return "fonts";
    case wf::kDestDesktop: return "desktop";
    case wf::kDestTemp: return "temp";
    case wf::kDestCustom: return "custom";
    case wf::kDestMyDocuments: return "documents";
    case wf::kDestAppData: return "appdata";
    default: return "install";  // unknown kinds behave like kind 4
  }
}

std::string ArchitectureName(uint8_t architecture) {
  if (architecture == wf::kArchitectureX86) return "x86";
  if (architecture == wf::kArchitectureX64) return "x64";
  return "unknown " + std::to_string(architecture);
}

std::string ScopeName(uint8_t scope) {
  if (scope == wf::kScopeMachine) return "machine";
  if (scope == wf::kScopeUser) return "user";
  return "unknown " + std::to_string(scope);
}

std::string IdentityFlagWords(uint16_t flags) {
  return Words(flags, {{wf::kIdentityAllowDowngrade, "allow-downgrade"}, {wf::kIdentityRecordBeside, "record-beside"}});
}

std::string RootName(uint32_t root) {
  switch (root) {
    case 0: return "HKEY_CLASSES_ROOT";
    case 2: return "HKEY_LOCAL_MACHINE";
    case 3: return "HKEY_USERS";
    default: return "HKEY_CURRENT_USER";
  }
}

std::string EntryFlagWords(uint32_t f) {
  return Words(f & ~(wf::kFlagRunKindMask | wf::kFlagRunDocument | wf::kFlagRunWait | wf::kFlagRunAfterRestart),
               {{wf::kFlagKeepExistingInSpace, "keep-existing-in-space"},
                {wf::kFlagVersionCheck, "version-check"},
                {wf::kFlagLanguageCheck, "language-check"},
                {wf::kFlagTimes, "times"},
                {wf::kFlagOnlyIfMissing, "only-if-missing"},
                {wf::kFlagNotLogged, "not-logged"},
                {wf::kFlagSourceFolder, "source-folder"},
                {wf::kFlagFolder, "folder"},
                {wf::kFlagShared, "shared"},
                {wf::kFlagScreenSaver, "screen-saver"},
                {wf::kFlagSelfRegister, "self-register"},
                {wf::kFlagAllUsersDesktop, "all-users-desktop"}});
}

std::string EntryOptionWords(uint16_t s) {
  return Words(s, {{wf::kOptUninstaller, "uninstaller"}, {wf::kOptReadOnly, "read-only"}});
}

std::string RunWords(uint32_t f) {
  static const char* const kinds[] = {"not run",    "after install",  "at finish page", "after wizard",
                                      "on request", "kind 5 (never)", "kind 6 (never)", "kind 7 (never)"};
  uint32_t kind = (f & wf::kFlagRunKindMask) >> wf::kRunKindShift;
  std::string out = kinds[kind & 7];
  if (f & wf::kFlagRunDocument) out += ", document";
  if (f & wf::kFlagRunWait) out += ", wait";
  if (f & wf::kFlagRunAfterRestart) out += ", after restart";
  return out;
}

std::string TypeOptionWords(uint16_t o) {
  return Words(o, {{wf::kOptCountFilesInFull, "count-files-in-full"},
                   {wf::kOptFolderEditable, "folder-editable"},
                   {wf::kOptFolderInRegistry, "folder-in-registry"},
                   {wf::kOptFolderInIni, "folder-in-ini"},
                   {wf::kOptUninstallerAppend, "append-to-uninstaller"},
                   {wf::kOptRegisterUninstall, "register-uninstall"},
                   {wf::kOptFinishRunButton, "finish-run-button"},
                   {wf::kOptFinishRunCheckBox, "finish-run-check-box"}});
}

std::string TypeMoreOptionWords(uint32_t o) {
  return Words(
      o, {{wf::kMoreOptNoProgressPage, "no-progress-page"}, {wf::kMoreOptTitleInCaption, "page-title-in-caption"}});
}

std::string SettingsFlagWords(uint32_t f) {
  return Words(f, {{wf::kSetBackgroundMode, "background"},
                   {wf::kSetGradient, "gradient"},
                   {wf::kSetMaximised, "maximised"},
                   {wf::kSetFramedBackground, "framed"},
                   {wf::kSetBitmapStretch, "stretch"},
                   {wf::kSetBitmapTile, "tile"},
                   {wf::kSetBitmapCentreX, "centre-x"},
                   {wf::kSetBitmapRight, "right"},
                   {wf::kSetBitmapCentreY, "centre-y"},
                   {wf::kSetBitmapBottom, "bottom"}});
}

std::string SettingsOptionWords(uint32_t o) {
  return Words(o, {{wf::kSetOptButtonBarLine, "button-bar-line"}, {wf::kSetOptKeepVisualStyles, "visual-styles"}});
}

std::string LayoutFlagWords(uint32_t f) {
  return Words(f, {{wf::kLaySideLine, "side-line"},
                   {wf::kLaySideBitmapCentred, "side-bitmap-centred"},
                   {wf::kLaySideBitmapFramed, "side-bitmap-framed"},
                   {wf::kLayHeaderLine, "header-line"},
                   {wf::kLayHeaderBitmapCentredY, "header-bitmap-centred"},
                   {wf::kLayHeaderBitmapFramed, "header-bitmap-framed"},
                   {wf::kLayHeaderBitmapRight, "header-bitmap-right"}});
}

std::string Quote(std::string_view text, size_t maxChars) {
  std::string out = "\"";
  size_t n = 0;
  for (unsigned char c : text) {
    if (maxChars && n++ == maxChars) {
      out += "...";
      break;
    }
    if (c == '\n') out += "\\n";
    else if (c == '"') out += "\\\"";
    else if (c < 0x20 || c == 0x7F) {
      char b[8];
      std::snprintf(b, sizeof b, "\\x%02X", c);
      out += b;
    } else out += static_cast<char>(c);
  }
  out += "\"";
  return out;
}

}  // namespace wrenly::inspector
