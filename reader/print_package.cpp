#include <exception>

#include "reader/damaged.h"
#include "reader/reader.h"
#include "reader/report.h"

namespace wrenly::inspector {

namespace {

ReadResult InspectText(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
                       std::ostream& err) {
  const std::string me = "inspect: " + setup.string() + ": ";
  try {
    if (IsInstalledUninstaller(setup)) {
      try {
        PrintUninstaller(setup, out);
        return kSound;
      } catch (const Damaged& e) {
        err << me << e.what() << "\n";
        return kDamaged;
      }
    }
    Package pkg = ReadPackage(setup);
    LearnStubDecoders(pkg, options.stubDecoders);
    Problems problems = pkg.problems;
    PrintContainer(pkg, out);
    CheckDecoders(pkg, problems);
    PrintLook(pkg, out, problems);
    for (size_t t = 0; t < pkg.types.size(); ++t) PrintInstallType(pkg, t, options, out, problems);
    PrintDataArea(pkg, out);
    if (options.verify) VerifyEntries(CheckEntries(pkg), pkg, out, problems);
    for (const auto& p : problems) err << me << p << "\n";
    return problems.empty() ? kSound : kDamaged;
  } catch (const Damaged& e) {
    err << me << "damaged package: " << e.what() << "\n";
    return kDamaged;
  } catch (const std::exception& e) { err << me << e.what() << "\n"; }
  return kUnreadable;
}

}  // namespace

ReadResult Inspect(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
                   std::ostream& err) {
  return options.json ? InspectJson(setup, options, out, err) : InspectText(setup, options, out, err);
}

}  // namespace wrenly::inspector
