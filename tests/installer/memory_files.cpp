#include "memory_files.h"

#include <algorithm>
#include <cstring>

#include "platform/file_system.h"
#include "platform/removal.h"

std::map<std::string, std::shared_ptr<MemoryFile>> MemoryFiles;
std::string (*MemoryPath)(const char* path) = [](const char* path) { return std::string(path); };
std::vector<std::array<std::string, 4>> MemoryProfile;
size_t MemoryDiskRoom = SIZE_MAX;

namespace {

struct Open {
  std::shared_ptr<MemoryFile> file;
  uint32_t at;
};
Open& Of(FileHandle handle) { return *static_cast<Open*>(handle); }

std::shared_ptr<MemoryFile> Find(const std::string& key) {
  auto it = MemoryFiles.find(key);
  return it == MemoryFiles.end() ? nullptr : it->second;
}

// Held by another program, or read-only: not to be written.
bool Denied(const std::string& key) {
  auto file = Find(key);
  return file && (file->locked || file->readOnly);
}
}  // namespace

FileHandle FileOpen(const char* path, int mode) {
  std::string key = MemoryPath(path);
  auto file = Find(key);
  return file && (mode == kFileRead || !Denied(key)) ? new Open{file, 0} : INVALID_FILE;
}

FileHandle FileCreate(const char* path) {
  std::string key = MemoryPath(path);
  if (Denied(key)) return INVALID_FILE;
  return new Open{MemoryFiles[key] = std::make_shared<MemoryFile>(MemoryFile{.fresh = true}), 0};
}

FileHandle FileCreateNew(const char* path) { return Find(MemoryPath(path)) ? INVALID_FILE : FileCreate(path); }

int FileRead(FileHandle handle, void* buffer, uint32_t n) {
  Open& o = Of(handle);
  size_t size = o.file->bytes.size();
  uint32_t got = o.at < size ? (uint32_t)std::min<size_t>(n, size - o.at) : 0;
  if (got) std::memcpy(buffer, o.file->bytes.data() + o.at, got);
  o.at += got;
  return got == n ? 0 : 1;
}

int FileWrite(FileHandle handle, const void* buffer, uint32_t n) {
  Open& o = Of(handle);
  size_t end = (size_t)o.at + n;
  if (end > MemoryDiskRoom) return 2;
  if (o.file->bytes.size() < end) o.file->bytes.resize(end);
  if (n) std::memcpy(o.file->bytes.data() + o.at, buffer, n);
  o.at = (uint32_t)end;
  return 0;
}

uint32_t FileTell(FileHandle handle) { return Of(handle).at; }

// As the POSIX layer: an offset from the start is unsigned, past the end is allowed.
uint32_t FileSeek(FileHandle handle, int32_t offset, int origin) {
  Open& o = Of(handle);
  int64_t base = origin == kSeekCurrent ? o.at : origin == kSeekEnd ? (int64_t)o.file->bytes.size() : 0;
  int64_t to = origin == kSeekStart ? (int64_t)(uint32_t)offset : base + offset;
  return to < 0 || to >= kSeekFailed ? kSeekFailed : (o.at = (uint32_t)to);
}

uint32_t FileSize(FileHandle handle) { return (uint32_t)Of(handle).file->bytes.size(); }
void FileClose(FileHandle handle) { delete &Of(handle); }

bool NamedFileExists(const char* path) { return MemoryFiles.count(MemoryPath(path)); }

int ProbeFile(const char* path) {
  auto file = Find(MemoryPath(path));
  return !file ? kProbeMissing : file->readOnly ? kProbeReadOnly : kProbeWritable;
}

int SetReadOnlyAttribute(const char* path, bool readOnly) {
  auto file = Find(MemoryPath(path));
  return file ? (file->readOnly = readOnly, 0) : 1;
}

int DeleteNamedFile(const char* path) {
  std::string key = MemoryPath(path);
  if (Denied(key)) return kFileOpDenied;
  return MemoryFiles.erase(key) ? kFileOpDone : kFileOpFailed;
}

int ReplaceNamedFile(const char* from, const char* to) {
  std::string source = MemoryPath(from), target = MemoryPath(to);
  auto file = Find(source), old = Find(target);
  if (Denied(target)) return kFileOpDenied;
  if (!file || (old && old->unreplaceable)) return kFileOpFailed;
  file->fresh = false;
  MemoryFiles.erase(source);
  MemoryFiles[target] = file;
  return kFileOpDone;
}

int CopyToNewFile(const char* from, const char* to) {
  auto file = Find(MemoryPath(from));
  if (!file || Find(MemoryPath(to))) return 0;
  auto copy = std::make_shared<MemoryFile>();
  copy->bytes = file->bytes;
  return MemoryFiles[MemoryPath(to)] = copy, 1;
}

// Enough of the system's writer for the deletion's rewrite: each entry
// lands on a line of its own under its section's header.
void WriteProfileEntry(const char* path, const char* section, const char* key, const char* value) {
  MemoryProfile.push_back({path, section, key, value});
  auto& file = MemoryFiles[MemoryPath(path)];
  if (!file) file = std::make_shared<MemoryFile>();
  std::string line = "[" + std::string(section) + "]\r\n" + key + "=" + value + "\r\n";
  file->bytes.insert(file->bytes.end(), line.begin(), line.end());
}
