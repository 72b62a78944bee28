// wrenly-idle-cpu.exe SECONDS PROGRAM [ARGUMENT]...: starts PROGRAM, waits
// until it shows a window and has settled, then prints "cpu percent=P.PP",
// its processor time over SECONDS of wall time in percent of one core, and
// ends it. "failed ..." when it does not get there.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

ULONGLONG Ticks(const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; }

// Wine reports no process times for another process but reads each
// thread's from the host; on Windows the process's also keeps the time of
// threads that have ended. The larger of the two counts.
ULONGLONG CpuTime(const PROCESS_INFORMATION& p) {
  FILETIME created, ended, kernel, user;
  ULONGLONG process = 0, threads = 0;
  if (GetProcessTimes(p.hProcess, &created, &ended, &kernel, &user)) process = Ticks(kernel) + Ticks(user);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return process;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != p.dwProcessId) continue;
    if (HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID)) {
      if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) threads += Ticks(kernel) + Ticks(user);
      CloseHandle(thread);
    }
  }
  CloseHandle(snapshot);
  return process > threads ? process : threads;
}

BOOL CALLBACK FindVisible(HWND w, LPARAM param) {
  auto* p = reinterpret_cast<std::pair<DWORD, bool>*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == p->first && IsWindowVisible(w)) p->second = true;
  return !p->second;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wrenly-idle-cpu.exe SECONDS PROGRAM [ARGUMENT]...\n");
    return 2;
  }
  std::string line;
  for (int i = 2; i < argc; ++i) line += std::string(i > 2 ? " " : "") + "\"" + argv[i] + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION p{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p)) {
    std::printf("failed to start %s\n", line.c_str());
    return 1;
  }
  std::pair<DWORD, bool> shown{p.dwProcessId, false};
  for (int waited = 0; !shown.second && waited < 30000; waited += 50) {
    Sleep(50);
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&shown));
  }
  Sleep(1000);  // the first paints are not idling
  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  ULONGLONG before = CpuTime(p);
  QueryPerformanceCounter(&begin);
  bool exited = WaitForSingleObject(p.hProcess, static_cast<DWORD>(std::atof(argv[1]) * 1000)) == WAIT_OBJECT_0;
  QueryPerformanceCounter(&end);
  ULONGLONG after = CpuTime(p);
  double wall = static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
  if (!shown.second || exited) std::printf("failed: %s\n", exited ? "the program ended" : "no window");
  else std::printf("cpu percent=%.2f\n", wall > 0 ? (after - before) / 1e7 / wall * 100.0 : 0.0);
  TerminateProcess(p.hProcess, 0);
  CloseHandle(p.hThread);
  CloseHandle(p.hProcess);
  return shown.second && !exited ? 0 : 1;
}
