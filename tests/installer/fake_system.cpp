#include "fake_system.h"

#include <strings.h>

#include <cstring>

#include "platform/system.h"

FakeSystem Fake;

void ResetFakeSystem() { Fake = FakeSystem{}; }

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = (char)(c + 32);
  return s;
}

std::string Trimmed(std::string s) {
  while (s.size() > 3 && s.back() == '\\') s.pop_back();
  return s;
}

std::string Long(const std::string& path) {
  std::string lower = Lower(path);
  for (auto& [shortForm, longForm] : Fake.shortNames)
    if (lower.rfind(shortForm, 0) == 0 &&
        (lower.size() == shortForm.size() || lower[shortForm.size()] == '\\'))
      return longForm + path.substr(shortForm.size());
  return path;
}

const std::string* FindIn(const std::vector<std::string>& list, const std::string& path) {
  for (const auto& p : list)
    if (Lower(p) == Lower(Trimmed(Long(path)))) return &p;
  return nullptr;
}

void CopyOut(const std::string& s, char* out, uint32_t size) {
  size_t n = std::min<size_t>(s.size(), size - 1);
  std::memcpy(out, s.data(), n);
  out[n] = 0;
}

}  // namespace

void FakeSystem::AddFolder(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    if (!FindIn(folders, path.substr(0, at))) folders.push_back(path.substr(0, at));
  if (!FindIn(folders, path)) folders.push_back(Trimmed(path));
}

void FakeSystem::AddFile(const std::string& path) {
  AddFolder(path.substr(0, path.rfind('\\')));
  files.push_back(path);
}

void GetScreenSize(int* width, int* height) { *width = Fake.screenWidth, *height = Fake.screenHeight; }

int QueryRegistryString(uint32_t root, const char* key, const char* value, char* out, uint32_t size) {
  auto it = Fake.registry.find(std::to_string(root) + "|" + key + "|" + (value ? value : ""));
  if (it == Fake.registry.end()) return 0;
  CopyOut(it->second, out, size);
  return 1;
}

uint32_t ReadIniString(const char* file, const char* section, const char* key, char* out, uint32_t size) {
  auto it = Fake.ini.find(std::string(file) + "|" + section + "|" + key);
  CopyOut(it == Fake.ini.end() ? "" : it->second, out, size);
  return (uint32_t)std::strlen(out);
}

int GetWindowsFolder(char* out) { return CopyOut(Fake.windowsFolder, out, 260), 1; }
int GetSystemFolder(char* out) { return CopyOut(Fake.systemFolder, out, 260), 1; }

int GetSpecialFolderPath(char* out, int number) {
  auto it = Fake.specialFolders.find(number);
  if (it == Fake.specialFolders.end()) return 0;
  CopyOut(it->second, out, 260);
  return 1;
}

void GetLocalDate(int* year, int* month, int* day) { *year = Fake.year, *month = Fake.month, *day = Fake.day; }

int EnterFolder(const char* path) {
  std::string p = path;
  if (p.size() == 3 && p[1] == ':') {  // a drive root always exists
    Fake.currentFolder = p;
    return 0;
  }
  const std::string* f = FindIn(Fake.folders, p);
  if (!f) return -1;
  Fake.currentFolder = *f;
  return 0;
}

int MakeFolder(const char* path) {
  std::string p = path;
  if (p.rfind("\\\\", 0) == 0) return 1;  // a server name is no folder
  size_t cut = p.rfind('\\');
  if (cut != std::string::npos && cut > 2 && !FindIn(Fake.folders, p.substr(0, cut))) return 1;
  Fake.folders.push_back(Trimmed(p));
  Fake.created.push_back(Trimmed(p));
  return 0;
}

int FindStoredName(const char* path, char* name) {
  const std::string* f = FindIn(Fake.folders, path);
  if (!f) f = FindIn(Fake.files, path);
  if (!f) return 0;
  CopyOut(f->substr(f->rfind('\\') + 1), name, 260);
  return 1;
}

void ShowInformation(const char* text, const char* caption) { Fake.messages.emplace_back(text, caption); }
