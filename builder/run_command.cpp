#include "builder/run_command.h"

#include <cerrno>
#include <cstring>

#include "builder/output_files.h"
#include "builder/utf8_path.h"

#ifdef _WIN32
#include <process.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
extern char** environ;
#endif

namespace wrenly::builder {

#ifdef _WIN32

namespace {
// _spawnvp joins the arguments with blanks; each is quoted so that the
// program's runtime splits them back as they were.
std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string q = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    q.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    q += c;
  }
  q.append(backslashes * 2, '\\');
  return q + '"';
}
}  // namespace

CommandEnd RunCommand(const std::vector<std::string>& args) {
  // Wide: the arguments are UTF-8 (file names among them), not ANSI.
  std::vector<std::wstring> quoted;
  for (const auto& a : args) quoted.push_back(PathFromUtf8(Quote(a)).native());
  std::vector<const wchar_t*> argv;
  for (const auto& q : quoted) argv.push_back(q.c_str());
  argv.push_back(nullptr);
  CommandEnd end;
  intptr_t rc = _wspawnvp(_P_WAIT, PathFromUtf8(args[0]).c_str(), argv.data());
  if (rc == -1) {
    end.problem = std::strerror(errno);
    return end;
  }
  end.started = true;
  end.status = static_cast<int>(rc);
  return end;
}

#else

CommandEnd RunCommand(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  CommandEnd end;
  pid_t pid;
  // The build ignores SIGPIPE; the command is to get it as usual.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  int rc = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (rc) {
    end.problem = std::strerror(rc);
    return end;
  }
  end.started = true;
  // Our handlers restart an interrupted wait, so the wait looks for the
  // build's interrupt flag between short sleeps.
  bool passedOn = false;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      end.problem = std::strerror(errno);
      return end;
    }
    if (int signal = InterruptSignal(); signal && !passedOn) {
      kill(pid, signal);
      passedOn = true;
    }
    timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  if (WIFEXITED(status)) end.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

#endif

}  // namespace wrenly::builder
