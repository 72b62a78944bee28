// Scripted stand-ins for the system services behind installer/platform and
// the boxes; the files are memory_files.h's.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/display.h"

struct FakeSystem {
  int screenWidth = 1024, screenHeight = 768;
  bool windows64 = true;
  std::string windowsFolder = "C:\\WINDOWS";
  std::map<int, std::string> specialFolders;
  std::map<std::string, std::string> registry;  // "root|key|value" -> data
  std::map<std::string, std::string> ini;       // "file|section|key" -> data
  // Paths as stored on disk; lookups ignore case. Folders can be entered.
  std::vector<std::string> folders, files;
  std::string currentFolder;
  std::vector<std::string> created;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption

  void AddFolder(const std::string& path);  // adds every parent too
};

struct FakeDisk {
  bool hasFreeBytes = true;  // GetDiskFreeSpaceExA present and answering
  uint64_t freeBytes = 1ull << 30;
  bool hasGeometry = true;  // 4 KB clusters
  uint32_t freeClusters = 1u << 18;
  std::vector<std::string> freeBytesQueries, geometryQueries;
  std::map<std::string, std::string> fullPaths;  // no file exists
};

struct FakeUi {
  std::vector<std::pair<std::string, unsigned>> messages;  // text, style
  std::deque<int> answers;                                 // then defaultAnswer
  int defaultAnswer = kAnswerCancel;
  std::function<void()> onMessage;  // runs before answering
  std::vector<int> percents;
};

struct FakeFileSystem {
  bool ntFamily = true;
  std::map<std::string, int> keyResults;  // "root|key" -> what deleting it gives, before the registry's own
  std::string sharedFolder;
  bool sharedLookupOverflows = false;
  std::map<std::string, uint32_t> dwords;                         // "key|value"
  std::map<std::string, std::string> strings;                     // "key|value"
  std::vector<std::pair<std::string, std::string>> restartMoves;  // existing, new ("" = delete)
  bool restartRefused = false;                                    // as without administrator rights
  std::map<std::string, std::string> shortNames;                  // long -> short
  std::string tempFolder = "C:\\TEMP\\";
  std::vector<std::string> fontsAdded, fontsRemoved;
  int fontBroadcasts = 0;
  // Shortcuts saved, "link|target|arguments|icon|index", under linkExtension when set; linkResult < 0 fails.
  std::vector<std::string> links;
  std::string linkExtension;
  int32_t linkResult = 0;
  // In order: "register PATH", "unregister PATH", "start COMMAND".
  std::vector<std::string> calls;
};

// Programs started and files opened; each command line as it was given.
struct FakeProcesses {
  std::vector<std::string> commands, processes, opened;  // StartCommand, StartProcess, ShellOpen
  int commandResult = 33;
  bool processStarts = true;
  uint32_t exitCode = 0;  // of every process waited for
  intptr_t shellResult = 42;
};

extern FakeSystem Fake;
extern FakeProcesses Processes;
extern FakeDisk Disk;
extern FakeUi Ui;
extern FakeFileSystem FakeFiles;
void ResetFakes();  // the memory files too
