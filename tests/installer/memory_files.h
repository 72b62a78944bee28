// The tests' files: files.h and the file-name operations of file_system.h
// over files held in memory, so a test or a fuzz execution makes no system
// call and nothing it does can reach a real file.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct MemoryFile {
  std::vector<uint8_t> bytes;
  bool readOnly = false;
  bool locked = false;         // another program holds it: it can be read, never written, deleted or replaced
  bool unreplaceable = false;  // the system refuses to replace it for another reason
  bool fresh = false;          // made by FileCreate, not yet put in place by ReplaceNamedFile
};

// Keyed by MemoryPath(path): the path itself, unless a target maps (and checks) it.
extern std::map<std::string, std::shared_ptr<MemoryFile>> MemoryFiles;
extern std::string (*MemoryPath)(const char* path);
// Every profile entry written: file, section, key, value.
extern std::vector<std::array<std::string, 4>> MemoryProfile;
// No file grows beyond it: further writes fail as on a full disk.
extern size_t MemoryDiskRoom;
