// Who the product is and how it belongs on the machine: its architecture,
// its scope and its identity across versions. The package carries it in
// block kBlockProductIdentity; each type's uninstall sections carry the same
// payload as section kSectionProduct, so the uninstaller of every record
// knows which views and which hive its paths and keys are in. The block
// comes before the InstallType blocks: their folders are found as they load.
#pragma once
#include <stdint.h>

namespace wrenly::format {

// Payload: u8 architecture, u8 scope, u16 flags, then a StringField id (the
// name of the product's key in the list of installed programs; empty: the
// install type's product name). Bytes after the id are left for later fields.
namespace product_identity {
inline constexpr uint32_t kArchitecture = 0;  // u8 Architecture
inline constexpr uint32_t kScope = 1;         // u8 Scope
inline constexpr uint32_t kFlags = 2;         // u16 IdentityFlag
inline constexpr uint32_t kId = 4;            // StringField
inline constexpr uint32_t kFixedSize = 4;
static_assert(kFlags + 2 == kFixedSize && kId == kFixedSize);
}  // namespace product_identity

// Values the Installer does not know are refused: it cannot tell where such
// a product belongs.
enum Architecture : uint8_t {
  kArchitectureX86 = 0,  // 32-bit views on 64-bit Windows, as every package before
  kArchitectureX64 = 1,  // 64-bit folders, registry view and system folder
  kArchitectureCount = 2,
};

enum Scope : uint8_t {
  kScopeMachine = 0,  // every user; needs administrator rights
  kScopeUser = 1,     // the current user's profile and hive only
  kScopeCount = 2,
};

enum IdentityFlag : uint16_t {
  kIdentityAllowDowngrade = 0x0001,  // an older version may replace a newer one
  // The installed uninstaller's record goes into a file beside it (see
  // RecordFileBeside), not behind its program: a signed one stays validly
  // signed. The uninstaller reads either.
  kIdentityRecordBeside = 0x0002,
};

// Where a per-user product's #Program Files# and #CommonFiles# lead: below
// the user's local application data (special folder 28), as Windows' own
// per-user programs folder.
inline constexpr int kLocalAppDataFolder = 28;
inline constexpr char kUserProgramsFolder[] = "\\Programs";
inline constexpr char kUserCommonFilesFolder[] = "\\Programs\\Common";

}  // namespace wrenly::format
