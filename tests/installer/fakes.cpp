#include "fakes.h"

#include <strings.h>

#include <cstring>

#include "base/display.h"
#include "install/install_run.h"
#include "memory_files.h"
#include "platform/disk.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/removal.h"
#include "platform/shell_link.h"
#include "platform/system.h"
#include "system/run_items.h"

FakeSystem Fake;
FakeDisk Disk;
FakeUi Ui;
FakeFileSystem FakeFiles;
FakeProcesses Processes;

void ResetFakes() {
  Fake = {}, Disk = {}, Ui = {}, FakeFiles = {}, Processes = {};
  MemoryFiles.clear(), MemoryProfile.clear(), MemoryDiskRoom = SIZE_MAX;
}

namespace {

std::string Trimmed(std::string s) {
  while (s.size() > 3 && s.back() == '\\') s.pop_back();
  return s;
}

const std::string* FindIn(const std::vector<std::string>& list, const std::string& path) {
  for (const auto& p : list)
    if (strcasecmp(p.c_str(), Trimmed(path).c_str()) == 0) return &p;
  return nullptr;
}

// Into `out` of `size` bytes, cut and terminated.
int CopyOut(const std::string& s, char* out, size_t size = 260) {
  size_t n = std::min(s.size(), size - 1);
  return std::memcpy(out, s.data(), n), out[n] = 0, 1;
}

template <class Map>
int Lookup(const Map& map, const typename Map::key_type& key, char* out, size_t size = 260) {
  auto it = map.find(key);
  return it != map.end() && CopyOut(it->second, out, size);
}

std::string Key(const char* key, const char* value) { return std::string(key) + "|" + value; }

}  // namespace

void FakeSystem::AddFolder(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    if (!FindIn(folders, path.substr(0, at))) folders.push_back(path.substr(0, at));
  if (!FindIn(folders, path)) folders.push_back(Trimmed(path));
}

void GetScreenSize(int* width, int* height) { *width = Fake.screenWidth, *height = Fake.screenHeight; }

static std::string RegistryName(uint32_t root, const char* key, const char* value) {
  return std::to_string(root) + "|" + key + "|" + (value ? value : "");
}
int QueryRegistryString(uint32_t root, const char* key, const char* value, char* out, uint32_t size) {
  return Lookup(Fake.registry, RegistryName(root, key, value), out, size);
}
bool RegistryValueExists(uint32_t root, const char* key, const char* value) {
  return Fake.registry.count(RegistryName(root, key, value));
}
int SetRegistryString(uint32_t root, const char* key, const char* value, const char* data) {
  return Fake.registry[RegistryName(root, key, value)] = data, 0;
}
int SetRegistryDword(uint32_t root, const char* key, const char* value, uint32_t data) {
  return Fake.registry[RegistryName(root, key, value)] = "dword " + std::to_string(data), 0;
}

uint32_t ReadIniString(const char* file, const char* section, const char* key, char* out, uint32_t size) {
  if (!Lookup(Fake.ini, std::string(file) + "|" + section + "|" + key, out, size)) *out = 0;
  return (uint32_t)std::strlen(out);
}

int GetWindowsFolder(char* out) { return CopyOut(Fake.windowsFolder, out); }
int GetSystemFolder(char* out) { return CopyOut("C:\\WINDOWS\\system32", out); }
int GetSpecialFolderPath(char* out, int number) { return Lookup(Fake.specialFolders, number, out); }
void GetLocalDate(int* year, int* month, int* day) { *year = 2024, *month = 3, *day = 5; }
void GetLocalTimeText(char* out) { std::strcpy(out, "2024-03-05 12:00:00.000"); }
void DescribeSystem(char* out, uint32_t size) { CopyOut("Windows 10.0 build 19045", out, size); }
uint32_t AnsiToUtf8(const char* text, char* out, uint32_t size) {
  return CopyOut(text, out, size), (uint32_t)strlen(out);
}

int EnterFolder(const char* path) {
  std::string p = path;
  const std::string* f = p.size() == 3 && p[1] == ':' ? &p : FindIn(Fake.folders, p);  // a drive root always exists
  return f ? (Fake.currentFolder = *f, 0) : -1;
}

bool IsCurrentFolder(const char* path) { return Fake.currentFolder == path; }

int MakeFolder(const char* path) {
  std::string p = path;
  if (p.rfind("\\\\", 0) == 0) return 1;  // a server name is no folder
  size_t cut = p.rfind('\\');
  if (cut != std::string::npos && cut > 2 && !FindIn(Fake.folders, p.substr(0, cut))) return 1;
  return Fake.folders.push_back(Trimmed(p)), Fake.created.push_back(Trimmed(p)), 0;
}

int FindStoredName(const char* path, char* name) {
  const std::string* f = FindIn(Fake.folders, path);
  if (!f) f = FindIn(Fake.files, path);
  return f && CopyOut(f->substr(f->rfind('\\') + 1), name);
}

void ShowInformation(const char* text, const char* caption) { Fake.messages.emplace_back(text, caption); }

int QueryFreeBytes(const char* path, uint64_t* freeBytes) {
  Disk.freeBytesQueries.push_back(path);
  return Disk.hasFreeBytes && (*freeBytes = Disk.freeBytes, 1);
}

int QueryDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector, uint32_t* freeClusters) {
  Disk.geometryQueries.push_back(root);
  return Disk.hasGeometry && (*sectorsPerCluster = 8, *bytesPerSector = 512, *freeClusters = Disk.freeClusters, 1);
}

int FindExistingFile(const char*, uint32_t*, uint32_t*) { return 0; }

uint32_t GetFullPath(const char* path, char* out, uint32_t size) {
  auto it = Disk.fullPaths.find(path);
  std::string full = it == Disk.fullPaths.end() ? path : it->second;
  if (full.size() >= size) return out[0] = 0;
  return CopyOut(full, out, size), (uint32_t)full.size();
}

int ShowMessage(Setup& setup, const char* text, unsigned style) {
  Ui.messages.emplace_back(text, style);
  if (Ui.onMessage) Ui.onMessage();
  if (Ui.answers.empty()) return Ui.defaultAnswer;
  int a = Ui.answers.front();
  return Ui.answers.pop_front(), a;
}

void ShowProgressPercent(Setup& setup, int percent) { Ui.percents.push_back(percent); }
void ShowCurrentFile(Setup& setup, const char*) {}

void SetFileTimes(FileHandle, const uint8_t*) {}
int GetTempFolder(char* out) { return CopyOut(FakeFiles.tempFolder, out); }
bool IsNtFamily() { return FakeFiles.ntFamily; }
bool Is64BitWindows() { return Fake.windows64; }
void BeginNativeFolder(NativeFolder* state, const char*, bool wide) { *state = {nullptr, wide}; }
void EndNativeFolder(NativeFolder* state) { state->off = false; }

void FindSharedFileFolder(const char*, const char*, const char*, char* out, bool* inUseTest) {
  *inUseTest = !FakeFiles.sharedLookupOverflows;
  CopyOut(FakeFiles.sharedLookupOverflows ? "" : FakeFiles.sharedFolder, out);
}

int ReadFileVersion(const char*, FileVersionFacts*) { return 0; }

int ScheduleMoveAtRestart(const char* existingPath, const char* newPath) {
  if (FakeFiles.restartRefused) return 1;
  return FakeFiles.restartMoves.emplace_back(existingPath, newPath ? newPath : ""), 0;
}

void GetShortPath(const char* path, char* out) {
  if (!Lookup(FakeFiles.shortNames, path, out)) CopyOut(path, out);
}

void FlushProfile(const char*) {}

int DeleteRegistryTree(uint32_t root, const char* key) {
  if (auto it = FakeFiles.keyResults.find(std::to_string(root) + "|" + key); it != FakeFiles.keyResults.end())
    return it->second;
  const std::string below = std::to_string(root) + "|" + key + "|";
  return std::erase_if(Fake.registry, [&](auto& v) { return v.first.starts_with(below); }) ? kRemoved : kRemoveMissing;
}

int QueryMachineDword(const char* key, const char* value, uint32_t* out, uint32_t) {
  auto it = FakeFiles.dwords.find(Key(key, value));
  return it != FakeFiles.dwords.end() && (*out = it->second, 1);
}
int SetMachineDword(const char* key, const char* value, uint32_t data, uint32_t) {
  return FakeFiles.dwords[Key(key, value)] = data, 0;
}
int SetMachineString(const char* key, const char* value, const char* data) {
  return FakeFiles.strings[Key(key, value)] = data, 0;
}
int DeleteMachineValue(const char* key, const char* value, uint32_t) {
  return !(FakeFiles.strings.erase(Key(key, value)) + FakeFiles.dwords.erase(Key(key, value)));
}

void AddFontFile(const char* path) { FakeFiles.fontsAdded.push_back(path); }
void RemoveFontFile(const char* path) { FakeFiles.fontsRemoved.push_back(path); }
void BroadcastFontChange() { ++FakeFiles.fontBroadcasts; }
int32_t CreateShellLink(const char* target, char* link, const char* arguments, const char* icon, int index) {
  if (FakeFiles.linkResult < 0) return FakeFiles.linkResult;
  if (!FakeFiles.linkExtension.empty()) std::strcpy(std::strrchr(link, '.'), FakeFiles.linkExtension.c_str());
  FakeFiles.links.push_back(std::string(link) + "|" + target + "|" + arguments + "|" + icon + "|" +
                            std::to_string(index));
  return 0;
}

void CallComponentServer(const char* path, int registering, bool wide) {
  FakeFiles.calls.push_back((registering ? "register " : "unregister ") + std::string(wide ? "64 " : "") + path);
}
// Also among the calls, to show its place among the registrations.
int StartCommand(const char* command, int) {
  FakeFiles.calls.push_back("start " + std::string(command));
  return Processes.commands.push_back(command), Processes.commandResult;
}
intptr_t ShellOpen(const char* file) { return Processes.opened.push_back(file), Processes.shellResult; }
ProcessHandle StartProcess(char* command, int) {
  return Processes.processes.push_back(command), Processes.processStarts ? &Processes : nullptr;
}
uint32_t WaitForExitCode(ProcessHandle) { return Processes.exitCode; }
bool WaitProcessOrInput(ProcessHandle) { return true; }
void CloseProcess(ProcessHandle) {}
