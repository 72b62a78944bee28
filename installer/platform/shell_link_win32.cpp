// The shell's link object. COM is initialised at start.
#include "platform/shell_link.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/file_system.h"

namespace {
// Declared here so the stub does not link the whole GUID library.
const GUID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

char* Extension(char* path) {
  char* dot = nullptr;
  for (char* p = path; *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\') dot = nullptr;
  }
  return dot;
}

// Takes saved's extension when linkPath has one at least as long.
void TakeExtension(char* linkPath, char* saved) {
  char* own = Extension(linkPath);
  const char* used = Extension(saved);
  if (!own || !used || lstrlenA(own) < lstrlenA(used)) return;
  lstrcpyA(own, used);
}

bool SavedName(IPersistFile* file, char* linkPath) {
  LPOLESTR name = nullptr;
  if (FAILED(file->GetCurFile(&name)) || !name) return false;
  char saved[MAX_PATH];
  int n = WideCharToMultiByte(CP_ACP, 0, name, -1, saved, MAX_PATH, nullptr, nullptr);
  CoTaskMemFree(name);
  if (n <= 1) return false;
  TakeExtension(linkPath, saved);
  return true;
}

// Without the shell's answer: the file is found as ".lnk" or ".pif".
void GuessSavedName(char* linkPath) {
  int n = lstrlenA(linkPath);
  if (NamedFileExists(linkPath) || n < 4 || lstrcmpiA(linkPath + n - 4, ".lnk") != 0) return;
  lstrcpyA(linkPath + n - 4, ".pif");
  if (!NamedFileExists(linkPath)) lstrcpyA(linkPath + n - 4, ".lnk");
}
}  // namespace

int32_t CreateShellLink(const char* target, char* linkPath, const char* arguments, const char* iconPath,
                        int iconIndex) {
  IShellLinkA* link;
  HRESULT result = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA, (void**)&link);
  if (FAILED(result)) return result;
  link->SetPath(target);
  char folder[MAX_PATH];
  lstrcpynA(folder, target, MAX_PATH);
  char* cut = nullptr;
  for (char* p = folder; *p; ++p)
    if (*p == '\\') cut = p;
  if (cut) {
    cut[cut == folder + 2 && folder[1] == ':'] = 0;  // a drive's root keeps its backslash
    link->SetWorkingDirectory(folder);
  }
  if (arguments && *arguments) link->SetArguments(arguments);
  if (iconIndex || (iconPath && *iconPath)) link->SetIconLocation(iconPath && *iconPath ? iconPath : target, iconIndex);

  bool named = false;
  IPersistFile* file;
  result = link->QueryInterface(kPersistFile, (void**)&file);
  if (SUCCEEDED(result)) {
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wide, MAX_PATH)) wide[0] = 0;
    result = file->Save(wide, TRUE);
    named = SUCCEEDED(result) && SavedName(file, linkPath);
    file->Release();
  }
  link->Release();
  if (!named) GuessSavedName(linkPath);
  return result;
}
