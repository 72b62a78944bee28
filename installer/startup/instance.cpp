#include "startup/instance.h"

#include <ole2.h>

#include "base/package_model.h"
#include "base/setup.h"
#include "platform/system_library.h"
#include "text/link_store.h"
#include "ui/main_window.h"
#include "ui/wizard.h"

namespace {
constexpr DWORD kAllowNonClient = 1;  // STAP_ALLOW_NONCLIENT
}  // namespace

int InitInstance(Setup& setup, HINSTANCE instance) {
  HWND other = FindWindowA(kMainWindowClass, nullptr);
  if (other) {
    HWND popup = GetLastActivePopup(other);
    BringWindowToTop(other);
    if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
    if (popup != other) BringWindowToTop(popup);
    return 0;
  }
  setup.wizard->instance = instance;

  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT)
    setup.wizard->nt4 = version.dwMajorVersion == 4;
  OleInitialize(nullptr);

  // uxtheme first: Common Controls 6 imports it, and where the search
  // cannot be restricted a DLL's imports are looked for beside setup.exe
  // first, unless a DLL of that name is loaded already.
  setup.wizard->uxtheme = LoadSystemLibrary("uxtheme.dll");
  setup.wizard->setThemeAppProperties =
      (void(WINAPI*)(DWORD))SystemFunction(setup.wizard->uxtheme, "SetThemeAppProperties");
  RegisterProgressBarClass();

  setup.wizard->richEdit = LoadSystemLibrary("RICHED20.DLL");
  if (setup.wizard->richEdit) setup.wizard->richEdit2 = true;
  else setup.wizard->richEdit = LoadSystemLibrary("RICHED32.DLL");

  AllocatePathBuffers(setup);
  GetModuleFileNameA(instance, setup.ownPath, kPathSize);
  return 1;
}

bool OtherSetupRunning() {
  // Global: a deployment tool's run in another session counts too. Windows
  // without sessions refuse the prefix; the plain name serves there.
  HANDLE mark = CreateMutexA(nullptr, FALSE, "Global\\WrenlySetup");
  if (!mark) mark = CreateMutexA(nullptr, FALSE, "WrenlySetup");
  if (!mark) return false;                                   // cannot tell: the run goes on as it always did
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;  // the handle stays open until the process ends
  CloseHandle(mark);
  return true;
}

void ReleaseInstance(Setup& setup) {
  FreePathBuffers(setup);
  if (setup.wizard->richEdit) FreeLibrary(setup.wizard->richEdit);
  setup.wizard->richEdit = nullptr;
  ClearLinkStore();
  if (setup.wizard->uxtheme) FreeLibrary(setup.wizard->uxtheme);
  setup.wizard->uxtheme = nullptr;
  setup.wizard->setThemeAppProperties = nullptr;
  OleUninitialize();
}

void ApplyThemePreference(Setup& setup) {
  if (setup.wizard->setThemeAppProperties) setup.wizard->setThemeAppProperties(kAllowNonClient);
}
