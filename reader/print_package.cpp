#include <exception>

#include "reader/damaged.h"
#include "reader/reader.h"
#include "reader/report.h"

namespace wrenly::inspector {

int Inspect(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
            std::ostream& err) {
  try {
    if (IsInstalledUninstaller(setup)) return PrintUninstaller(setup, out), 0;
    Package pkg = ReadPackage(setup);
    Problems problems = pkg.problems;
    PrintContainer(pkg, out);
    PrintLook(pkg, out, problems);
    for (size_t t = 0; t < pkg.types.size(); ++t) PrintInstallType(pkg, t, options, out, problems);
    PrintDataArea(pkg, out);
    if (options.verify) VerifyEntries(pkg, out, problems);
    for (const auto& p : problems) err << "inspect: " << setup.string() << ": " << p << "\n";
    return problems.empty() ? 0 : 1;
  } catch (const Damaged& e) {
    err << "inspect: " << setup.string() << ": damaged package: " << e.what() << "\n";
  } catch (const std::exception& e) {
    err << "inspect: " << setup.string() << ": " << e.what() << "\n";
  }
  return 1;
}

}  // namespace wrenly::inspector
