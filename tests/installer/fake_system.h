// A scriptable stand-in for the system lookups of the Installer's logic.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

struct FakeSystem {
  int screenWidth = 1024, screenHeight = 768;
  std::string windowsFolder = "C:\\WINDOWS", systemFolder = "C:\\WINDOWS\\system32";
  std::map<int, std::string> specialFolders;
  // "root|key|value" -> data
  std::map<std::string, std::string> registry;
  // "file|section|key" -> data
  std::map<std::string, std::string> ini;
  int year = 2024, month = 3, day = 5;
  // Paths as stored on disk; lookups ignore case. Folders can be entered.
  std::vector<std::string> folders, files;
  std::string currentFolder;
  std::vector<std::string> created;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption

  void AddFolder(const std::string& path);  // adds every parent too
  void AddFile(const std::string& path);    // adds its folders too
};

// Reset by each test through ResetFakeSystem.
extern FakeSystem Fake;
void ResetFakeSystem();
// Copies `s` into `out` of `size` bytes, cut and terminated.
void CopyOut(const std::string& s, char* out, size_t size);
