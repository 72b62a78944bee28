#include "driver.h"

namespace driver {
namespace {

// Saving a key is a backup operation: the privilege is held but not enabled.
bool EnableBackupPrivilege() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES p{};
  p.PrivilegeCount = 1;
  p.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &p.Privileges[0].Luid) &&
            AdjustTokenPrivileges(token, FALSE, &p, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

bool Save(HKEY root, const std::string& file) {
  DeleteFileA(file.c_str());
  LONG status = RegSaveKeyA(root, file.c_str(), nullptr);
  if (status == ERROR_SUCCESS) return true;
  return Fail("error save-registry " + Quoted(file) + " code=" + std::to_string(status));
}

}  // namespace

// The whole of HKLM and HKCU, both registry views, in one go: Wine's server
// writes each tree to a file in its own text form (that of system.reg),
// which is many times faster than exporting value by value. Wine only.
bool SaveRegistry(Target&, const Args& args) {
  if (!EnableBackupPrivilege()) return Fail("error save-registry privilege");
  if (!Save(HKEY_LOCAL_MACHINE, args[0] + ".machine") || !Save(HKEY_CURRENT_USER, args[0] + ".user")) return false;
  return Line("saved-registry");
}

}  // namespace driver
