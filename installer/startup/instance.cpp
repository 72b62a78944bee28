#include "startup/instance.h"

#include <ole2.h>

#include "package/package_model.h"
#include "platform/system_library.h"
#include "startup/run_state.h"
#include "text/link_store.h"
#include "ui/main_window.h"

HINSTANCE Instance;
bool NtFamily;
bool Nt4;
bool RichEdit2;
int ScreenWidth;
int ScreenHeight;

namespace {
HMODULE uxtheme;
HMODULE richEdit;
typedef void(WINAPI* SetThemeAppPropertiesFn)(DWORD);
SetThemeAppPropertiesFn setThemeAppProperties;
constexpr DWORD kAllowNonClient = 1;  // STAP_ALLOW_NONCLIENT

}  // namespace

int InitInstance(HINSTANCE instance) {
  HWND other = FindWindowA(kMainWindowClass, nullptr);
  if (other) {
    HWND popup = GetLastActivePopup(other);
    BringWindowToTop(other);
    if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
    if (popup != other) BringWindowToTop(popup);
    return 0;
  }
  ThePackage.current = -1;
  Instance = instance;

  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    NtFamily = true;
    Nt4 = version.dwMajorVersion == 4;
  }
  OleInitialize(nullptr);

  // uxtheme first: Common Controls 6 imports it, and where the search cannot
  // be restricted a DLL's imports are looked for beside setup.exe first,
  // unless a DLL of that name is loaded already.
  uxtheme = LoadSystemLibrary("uxtheme.dll");
  setThemeAppProperties = (SetThemeAppPropertiesFn)SystemFunction(uxtheme, "SetThemeAppProperties");
  RegisterProgressBarClass();

  richEdit = LoadSystemLibrary("RICHED20.DLL");
  if (richEdit)
    RichEdit2 = true;
  else
    richEdit = LoadSystemLibrary("RICHED32.DLL");

  AllocatePathBuffers();
  GetModuleFileNameA(instance, OwnPath, kPathSize);
  return 1;
}

void ReleaseInstance() {
  FreePathBuffers();
  if (richEdit) FreeLibrary(richEdit);
  richEdit = nullptr;
  ClearLinkStore();
  if (uxtheme) FreeLibrary(uxtheme);
  uxtheme = nullptr;
  setThemeAppProperties = nullptr;
  OleUninitialize();
}

void ApplyThemePreference() {
  if (setThemeAppProperties) setThemeAppProperties(kAllowNonClient);
}
