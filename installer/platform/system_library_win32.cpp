#include "platform/system_library.h"

#include <commctrl.h>

namespace {
bool searchFlags;

// Whether the manifest redirects the DLL (comctl32.dll to Common Controls 6):
// only its bare name finds the redirected one, and the redirection comes
// before every folder. Windows XP and later.
bool Redirected(const char* name) {
  auto find = (decltype(&FindActCtxSectionStringA))KernelFunction("FindActCtxSectionStringA");
  ACTCTX_SECTION_KEYED_DATA data = {};
  data.cbSize = sizeof data;
  return find && find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &data);
}
}  // namespace

void RestrictDllSearch() {
  auto set = (decltype(&SetDefaultDllDirectories))KernelFunction("SetDefaultDllDirectories");
  searchFlags = set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
  // By name, so the manifest's redirection still applies; a full path would
  // load the system folder's comctl32.dll, version 5.
  if (searchFlags) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (Redirected(name)) return LoadLibraryA(name);
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
  path[n] = '\\';
  lstrcpyA(path + n + 1, name);
  return LoadLibraryA(path);
}

void* SystemFunction(HMODULE module, const char* name) {
  return module ? (void*)GetProcAddress(module, name) : nullptr;
}

void* KernelFunction(const char* name) { return SystemFunction(GetModuleHandleA("kernel32.dll"), name); }

void RegisterProgressBarClass() {
  HMODULE comctl = LoadSystemLibrary("comctl32.dll");
  typedef BOOL(WINAPI * InitExFn)(const INITCOMMONCONTROLSEX*);
  auto initEx = (InitExFn)SystemFunction(comctl, "InitCommonControlsEx");
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  if (initEx && initEx(&classes)) return;
  typedef void(WINAPI * InitFn)();
  auto init = (InitFn)SystemFunction(comctl, "InitCommonControls");
  if (init) init();
}
