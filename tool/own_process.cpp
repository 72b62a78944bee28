#include "tool/own_process.h"

#include "builder/utf8_path.h"
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace wrenly::tool {
namespace fs = std::filesystem;

#ifdef _WIN32

fs::path ToolFolder(const char*) {
  std::wstring self(MAX_PATH, L'\0');
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()))) == self.size())
    self.resize(self.size() * 2);
  self.resize(n);
  return fs::path(self).parent_path();
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(builder::Utf8(fs::path(wide[i])));
  LocalFree(wide);
  return args;
}

// The progress line is redrawn with terminal escapes, which a console
// shows as they are until asked to obey them; older consoles cannot.
bool ErrorsToTerminal() {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(err, &mode)) return false;
  return SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

#else

fs::path ToolFolder(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv0);
  return self.parent_path();
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

bool ErrorsToTerminal() { return isatty(STDERR_FILENO) == 1; }

#endif

}  // namespace wrenly::tool
