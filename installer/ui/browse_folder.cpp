#include "ui/browse_folder.h"

#include <windows.h>

#include <shlobj.h>

#include "base/setup.h"
#include "format/install_type.h"
#include "platform/system.h"
#include "text/messages.h"

namespace wf = wrenly::format;

namespace {

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
  const char* start = (const char*)data;
  if (message == BFFM_INITIALIZED) {
    if (*start && EnterFolder(start) == 0) {
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, (LPARAM)start);
      SendMessageA(dialog, BFFM_ENABLEOK, 0, TRUE);
    } else {
      SendMessageA(dialog, BFFM_ENABLEOK, 0, FALSE);
    }
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListA((LPCITEMIDLIST)lParam, path) && *path;
    SendMessageA(dialog, BFFM_ENABLEOK, 0, ok);
  }
  return 0;
}

}  // namespace

int BrowseForFolder(Setup& setup, HWND owner, char* buffer) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return 0;
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = buffer;
  info.lpszTitle = GetMessageText(setup, wf::msg::kListMessages, wf::msg::kBrowseTitle);
  info.ulFlags = BIF_NEWDIALOGSTYLE;
  info.lpfn = BrowseCallback;
  info.lParam = (LPARAM)buffer;
  int chosen = 0;
  if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) {
    SHGetPathFromIDListA(item, buffer);
    allocator->Free(item);
    chosen = 1;
  }
  allocator->Release();
  return chosen;
}
