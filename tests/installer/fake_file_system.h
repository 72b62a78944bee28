// The engine's file, version, font and registry wrappers for native tests.
// Real files back the file operations; attributes, locks and everything
// the system would answer are scripted here.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

struct FakeFileSystem {
  bool ntFamily = true;
  std::string tempFolder = "C:\\TEMP\\";
  // Names that exist without a real file (they cannot be opened).
  std::set<std::string> present;
  std::set<std::string> readOnly;
  // Destinations that another process holds, and ones the system refuses
  // to replace for any other reason.
  std::set<std::string> locked, unreplaceable;
  std::string sharedFolder;
  bool sharedLookupOverflows = false;
  std::map<std::string, uint32_t> dwords;          // "key|value"
  std::map<std::string, std::string> strings;      // "key|value"
  std::vector<std::pair<std::string, std::string>> restartMoves;  // existing, new ("" = delete)
  std::map<std::string, std::string> shortNames;   // long -> short
  std::vector<std::string> fontsAdded, fontsRemoved;
  int fontBroadcasts = 0;
};

extern FakeFileSystem FakeFiles;
void ResetFakeFileSystem();
