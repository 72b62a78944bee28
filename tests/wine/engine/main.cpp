// wrenly-engine-test.exe: runs an installation of a setup program's Package
// without the wizard, the way the Installer's own run state is set up, and
// reports the outcome as lines a shell scenario can compare.
//
//   wrenly-engine-test.exe [--report FILE] [--type N] [--folder DIR]
//                          [--cancel-at-pump N] [--list] SETUP.exe [/R ...]
//   wrenly-engine-test.exe [--report FILE] --hold FILE MS [--release PATH]
//
// Options after the setup program are the Installer's own command line.
// --list only loads the package and prints where each entry's stream lies.
// --hold plays another program that has FILE open (others may only read) for MS
// milliseconds, or until PATH exists; it reports "holding" once the file is open.
// Message boxes the engine shows stay real, so a driver can answer them.
#include <windows.h>
#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "format/file_entry.h"
#include "install/data_area.h"
#include "install/install_run.h"
#include "observer.h"
#include "package/package.h"
#include "package/package_model.h"
#include "report.h"
#include "startup/command_line.h"
#include "startup/instance.h"
#include "startup/run_state.h"

namespace wf = wrenly::format;

namespace {

struct Arguments {
  const char* report = nullptr;
  const char* setup = nullptr;
  const char* folder = nullptr;
  const char* hold = nullptr;
  const char* release = nullptr;
  DWORD holdMs = 0;
  int type = -1;
  bool list = false;
  uint64_t cancelAtPump = 0;
  std::string installerOptions;
};

bool ParseArguments(int argc, char** argv, Arguments* a) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (a->setup) {
      if (!a->installerOptions.empty()) a->installerOptions += ' ';
      a->installerOptions += arg;
    } else if (arg == "--report" && hasValue) {
      a->report = argv[++i];
    } else if (arg == "--type" && hasValue) {
      a->type = std::atoi(argv[++i]);
    } else if (arg == "--folder" && hasValue) {
      a->folder = argv[++i];
    } else if (arg == "--cancel-at-pump" && hasValue) {
      a->cancelAtPump = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--hold" && i + 2 < argc) {
      a->hold = argv[++i];
      a->holdMs = (DWORD)std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--release" && hasValue) {
      a->release = argv[++i];
    } else if (arg == "--list") {
      a->list = true;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      a->setup = argv[i];
    }
  }
  return a->setup != nullptr || a->hold != nullptr;
}

int Hold(const Arguments& args, Report& report) {
  // Shared for reading only, as the image of a running program is.
  HANDLE file =
      CreateFileA(args.hold, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    report.Number("hold-failed", (long long)GetLastError());
    return 6;
  }
  report.Line("holding");
  constexpr DWORD kPollMs = 50;
  for (DWORD waited = 0; waited < args.holdMs; waited += kPollMs) {
    if (args.release && GetFileAttributesA(args.release) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(kPollMs);
  }
  CloseHandle(file);
  return 0;
}

// Calls f(view) for every entry of the current type's file table.
template <typename F>
void ForEachEntry(F f) {
  const InstallTypeSlot* type = ThePackage.currentType;
  if (!type || !type->fileTable) return;
  wf::ByteView table{type->fileTable, type->fileTableSize};
  uint32_t at = wf::file_table::kEntries;
  for (uint32_t n = 0; n < ThePackage.entryCount; ++n) {
    wf::FileEntryView e;
    if (!wf::ParseFileEntry(table, at, &e)) return;
    f(e);
    at += e.recordSize;
  }
}

void ListEntries(Report& report) {
  report.Number("data-start", DataArea.start);
  report.Number("entry-count", ThePackage.entryCount);
  ForEachEntry([&](const wf::FileEntryView& e) {
    report.Line("entry %s kind %u offset %u stored %u size %u", e.strings[wf::kItemName], e.kind, e.dataOffset,
                e.storedLength, e.size);
  });
}

void ReportRun(Report& report, double elapsedMs) {
  report.Number("result", ResultCode);
  report.Quoted("error-argument", ErrorArgument);
  report.Number("restart-needed", RestartNeeded ? 1 : 0);
  report.Number("user-cancelled", UserCancelled ? 1 : 0);
  report.Quoted("install-folder", InstallFolder);
  ForEachEntry([&](const wf::FileEntryView& e) {
    report.Line("entry %s status %u", e.strings[wf::kItemName], wf::LoadU16(e.record + wf::file_entry::kStatus));
  });
  std::string percents;
  for (int i = 0; i < Observer.percentCount; ++i) percents += " " + std::to_string(Observer.percents[i]);
  report.Line("progress%s", percents.c_str());
  report.Number("current-file-shown", Observer.currentFiles);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
    report.Number("peak-working-set-kb", (long long)(memory.PeakWorkingSetSize / 1024));
  report.Number("elapsed-ms", (long long)elapsedMs);
}

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!ParseArguments(argc, argv, &args)) {
    std::fprintf(stderr,
                 "usage: wrenly-engine-test.exe [--report FILE] [--type N] [--folder DIR] "
                 "[--cancel-at-pump N] [--list] SETUP.exe [INSTALLER OPTIONS]\n"
                 "       wrenly-engine-test.exe [--report FILE] --hold FILE MS [--release PATH]\n");
    return 2;
  }
  Report report(args.report);
  if (args.hold) return Hold(args, report);
  if (!InitInstance(GetModuleHandleA(nullptr))) {
    report.Line("another-instance");
    return 3;
  }
  // What WinMain does before the run, with the setup program in place of
  // this program's own file.
  ParseCommandLine(args.installerOptions.c_str());
  std::strncpy(OwnPath, args.setup, kPathSize - 1);
  OwnPath[kPathSize - 1] = 0;
  Observer.cancelAtPump = args.cancelAtPump;

  int exitCode = 0;
  if (!LoadPackage()) {
    report.Line("load-failed");
    exitCode = 4;
  } else if (args.type >= 0 && !SelectInstallType(args.type)) {
    report.Line("no-type %d", args.type);
    exitCode = 5;
  } else {
    if (args.folder) {
      std::strncpy(InstallFolder, args.folder, kPathSize - 1);
      InstallFolder[kPathSize - 1] = 0;
    }
    if (args.list) {
      ListEntries(report);
    } else {
      double start = NowMs();
      RunInstallationHeadless();
      ReportRun(report, NowMs() - start);
    }
    FreePackage();
  }
  ReleaseInstance();
  return exitCode;
}
