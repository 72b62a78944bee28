// InstallType record (block 5182). String and list fields are offsets from
// the record's first byte; 0 means absent.
#pragma once
#include <stdint.h>

namespace wrenly::format {

namespace install_type {
inline constexpr uint32_t kOptions = 0;         // u16, low byte bits below
inline constexpr uint32_t kMoreOptions = 2;     // u32
inline constexpr uint32_t kReserved6 = 6;       // u32, not read
inline constexpr uint32_t kProductName = 10;    // u32 offset
inline constexpr uint32_t kTypeName = 14;       // u32 offset, not read by the Installer
inline constexpr uint32_t kFolderRoot = 18;     // u32: 0 HKCR, 1 HKCU, 2 HKLM, 3 HKU, other HKCU
inline constexpr uint32_t kFolderKey = 22;      // u32 offset
inline constexpr uint32_t kFolderValue = 26;    // u32 offset
inline constexpr uint32_t kDefaultFolder = 30;  // u32 offset: path with #Variables#, or "#parent#"
inline constexpr uint32_t kReserved34 = 34;     // u32, not read
inline constexpr uint32_t kIniFile = 38;        // u32 offset
inline constexpr uint32_t kIniSection = 42;     // u32 offset
inline constexpr uint32_t kIniKey = 46;         // u32 offset
inline constexpr uint32_t kPageSequence = 50;   // 12 bytes of page kinds ended by 0xFF
inline constexpr uint32_t kPageSequenceSize = 12;
inline constexpr uint32_t kMessageLists = 62;  // 10 x u32 offsets of MessageLists 0..9
inline constexpr uint32_t kMessageListCount = 10;
inline constexpr uint32_t kFixedSize = 102;  // strings and lists follow
static_assert(kPageSequence + kPageSequenceSize == kMessageLists);
static_assert(kMessageLists + 4 * kMessageListCount == kFixedSize);

// The string offsets the loader turns into references, in the loader's order.
inline constexpr uint32_t kStringFields[] = {kProductName, kTypeName, kDefaultFolder, kFolderKey,
                                             kFolderValue, kIniFile,  kIniSection,    kIniKey};

inline constexpr uint8_t kSequenceEnd = 0xFF;
inline constexpr const char kParentFolder[] = "#parent#";
}  // namespace install_type

// Option flags (low byte of the u16 at offset 0).
enum InstallTypeOption : uint16_t {
  kOptCountFilesInFull = 0x01,
  kOptFolderEditable = 0x02,
  kOptFolderInRegistry = 0x04,
  kOptFolderInIni = 0x08,
  kOptUninstallerAppend = 0x10,
  kOptRegisterUninstall = 0x20,
  kOptFinishRunButton = 0x40,
  kOptFinishRunCheckBox = 0x80,
};

// More option flags (u32 at offset 2).
enum InstallTypeMoreOption : uint32_t {
  kMoreOptNoProgressPage = 0x20,
  kMoreOptTitleInCaption = 0x20000000,
};

inline constexpr uint32_t kMinInstallTypes = 1;
inline constexpr uint32_t kMaxInstallTypes = 16;

// Page kinds, the values of the page sequence.
enum PageKind : uint8_t {
  kPageWelcome = 0,
  kPageInformation = 1,
  kPageAgreement = 2,
  kPageDestination = 3,
  kPageReady = 4,
  kPageProgress = 5,
  kPageFinish = 6,
  kPageClosing = 10,
};
inline constexpr uint32_t kPageKindCount = 11;  // kinds 0..10; 7..9 have no page

// MessageList: u16 count, then count NUL-terminated strings back to back.
namespace message_list {
inline constexpr uint32_t kCount = 0;
inline constexpr uint32_t kItems = 2;
}  // namespace message_list

// Message numbers the Installer reads (list/item). A list-7 reason is also
// the result code, and so the exit code, of the run it ends.
namespace msg {
inline constexpr int kListMessages = 7;
inline constexpr int kListButtons = 8;
// List 7, the wizard's questions, notes and the reasons a run failed.
inline constexpr uint16_t kCaption = 0;
inline constexpr uint16_t kBrowseTitle = 1;
inline constexpr uint16_t kCheckingSpace = 4;
inline constexpr uint16_t kBadFolder = 5;
inline constexpr uint16_t kCreateFolder = 6;
inline constexpr uint16_t kReadOnlyTargets = 7;
inline constexpr uint16_t kNotEnoughSpace = 11;
inline constexpr uint16_t kStopPartialInstall = 13;
inline constexpr uint16_t kCancelQuestion = 14;
inline constexpr uint16_t kCancelled = 15;
inline constexpr uint16_t kCannotOpen = 16;        // "%s" the setup program
inline constexpr uint16_t kCannotWrite = 17;       // "%s" the file
inline constexpr uint16_t kCannotReadVolume = 18;  // "%s" the volume
inline constexpr uint16_t kFileDamaged = 21;       // "%s" the file
inline constexpr uint16_t kInsertDisk = 28;        // "%d" the disk number
inline constexpr uint16_t kNewerFile = 29;         // "%s" the file
inline constexpr uint16_t kOtherLanguage = 30;     // "%s" the file
inline constexpr uint16_t kPackageIncomplete = 31;
inline constexpr uint16_t kCheckFailed = 32;  // "%s" the file
// List 8, button captions.
inline constexpr uint16_t kButtonBack = 0;
inline constexpr uint16_t kButtonNext = 1;
inline constexpr uint16_t kButtonCancel = 2;
inline constexpr uint16_t kButtonInstall = 3;
inline constexpr uint16_t kButtonStop = 5;
inline constexpr uint16_t kButtonRestartNow = 6;
// Items of every page kind's own list k.
inline constexpr uint16_t kPageTitle = 0;
inline constexpr uint16_t kPageSubtitle = 1;
inline constexpr uint16_t kPageText0 = 2;  // texts 2..5 go into controls 1000..1003
// Items of one page kind's list.
inline constexpr uint16_t kInformationNextCaption = 3;  // list 1
inline constexpr uint16_t kDestinationFirstBody = 3;    // list 3
inline constexpr uint16_t kDestinationRequiredLabel = 6;
inline constexpr uint16_t kDestinationFreeLabel = 7;
inline constexpr uint16_t kDestinationMegabytes = 8;  // "%d"
inline constexpr uint16_t kReadySummary = 3;          // list 4, "%s" the folder
inline constexpr uint16_t kProgressFileLabel = 2;     // list 5; empty: no file shown
inline constexpr uint16_t kFinishBelowButton = 3;     // list 6
inline constexpr uint16_t kFinishCloseUp = 4;
inline constexpr uint16_t kFinishFailed = 5;  // "%s" the reason
inline constexpr uint16_t kFinishRunButton = 6;
inline constexpr uint16_t kFinishRunCheckBox = 7;
inline constexpr uint16_t kFinishRestartQuestion = 8;
inline constexpr uint16_t kFinishRestartAlways = 9;
}  // namespace msg

}  // namespace wrenly::format
