#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "engine_fakes.h"
#include "platform/file_system.h"

FakeFileSystem FakeFiles;

void ResetEngineFakes() {
  Disk = FakeDisk{};
  Ui = FakeUi{};
  FakeFiles = FakeFileSystem{};
}

namespace {
void CopyOut(const std::string& s, char* out, size_t size) {
  size_t n = std::min(s.size(), size - 1);
  std::memcpy(out, s.data(), n);
  out[n] = 0;
}
std::string Key(const char* key, const char* value) { return std::string(key) + "|" + value; }
}  // namespace

bool NamedFileExists(const char* path) { return FakeFiles.present.count(path) || access(path, F_OK) == 0; }

int ProbeFile(const char* path) {
  if (!NamedFileExists(path)) return kProbeMissing;
  return FakeFiles.readOnly.count(path) ? kProbeReadOnly : kProbeWritable;
}

int SetReadOnlyAttribute(const char* path, bool readOnly) {
  if (!NamedFileExists(path)) return 1;
  return readOnly ? (void)FakeFiles.readOnly.insert(path) : (void)FakeFiles.readOnly.erase(path), 0;
}

int DeleteNamedFile(const char* path) {
  if (FakeFiles.locked.count(path) || FakeFiles.readOnly.count(path)) return kFileOpDenied;
  if (FakeFiles.present.erase(path)) return kFileOpDone;
  return unlink(path) == 0 ? kFileOpDone : kFileOpFailed;
}

int ReplaceNamedFile(const char* from, const char* to) {
  if (FakeFiles.locked.count(to) || FakeFiles.readOnly.count(to)) return kFileOpDenied;
  if (FakeFiles.unreplaceable.count(to)) return kFileOpFailed;
  return std::rename(from, to) == 0 ? kFileOpDone : kFileOpFailed;
}

void SetFileTimes(FileHandle, const uint8_t*) {}

int GetTempFolder(char* out) { return CopyOut(FakeFiles.tempFolder, out, 260), 1; }

bool IsNtFamily() { return FakeFiles.ntFamily; }

void FindSharedFileFolder(const char*, const char*, const char*, char* out, bool* inUseTest) {
  *inUseTest = !FakeFiles.sharedLookupOverflows;
  CopyOut(FakeFiles.sharedLookupOverflows ? "" : FakeFiles.sharedFolder, out, 260);
}

int ReadFileVersion(const char*, FileVersionFacts*) { return 0; }

int ScheduleMoveAtRestart(const char* existingPath, const char* newPath) {
  return FakeFiles.restartMoves.emplace_back(existingPath, newPath ? newPath : ""), 0;
}

void GetShortPath(const char* path, char* out) {
  auto it = FakeFiles.shortNames.find(path);
  CopyOut(it == FakeFiles.shortNames.end() ? std::string(path) : it->second, out, 260);
}

// Enough of the system's writer for the deletion's rewrite: each entry
// lands on a line of its own under its section's header.
void WriteProfileEntry(const char* file, const char* section, const char* key, const char* value) {
  std::ofstream(file, std::ios::binary | std::ios::app) << "[" << section << "]\r\n" << key << "=" << value << "\r\n";
}

void FlushProfile(const char*) {}

int QueryMachineDword(const char* key, const char* value, uint32_t* out) {
  auto it = FakeFiles.dwords.find(Key(key, value));
  if (it == FakeFiles.dwords.end()) return 0;
  *out = it->second;
  return 1;
}
int SetMachineDword(const char* key, const char* value, uint32_t data) {
  return FakeFiles.dwords[Key(key, value)] = data, 0;
}
int SetMachineString(const char* key, const char* value, const char* data) {
  return FakeFiles.strings[Key(key, value)] = data, 0;
}
int DeleteMachineValue(const char* key, const char* value) {
  return FakeFiles.strings.erase(Key(key, value)) ? 0 : 1;
}

void AddFontFile(const char* path) { FakeFiles.fontsAdded.push_back(path); }
void RemoveFontFile(const char* path) { FakeFiles.fontsRemoved.push_back(path); }
void BroadcastFontChange() { ++FakeFiles.fontBroadcasts; }
void UnregisterComponentFile(const char*) {}
