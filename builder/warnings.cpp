#include "builder/warnings.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

#include "builder/checks.h"
#include "builder/utf8_path.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/product_identity.h"

namespace wrenly::builder {
namespace f = wrenly::format;

namespace {

bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

const std::string& Text(const InstallTypeConfig& type, int list, int item) {
  static const std::string none;
  const auto& texts = type.texts[list];
  return static_cast<size_t>(item) < texts.size() ? texts[item] : none;
}

Where TextWhere(const InstallTypeConfig& type, int list, int item, const Where& otherwise) {
  const auto& places = type.textWhere[list];
  if (static_cast<size_t>(item) < places.size() && !places[item].file.empty()) return places[item];
  return otherwise;
}

// A page that shows one text of the author's: the information or the license.
struct TextPage {
  uint8_t page;
  const char* pageName;
  int list, item;
  const char* what;
  std::string InstallTypeConfig::*file;
  Where InstallTypeConfig::*fileWhere;
};

constexpr TextPage kTextPages[] = {
    {f::kPageInformation, "information", 1, 2, "information", &InstallTypeConfig::information,
     &InstallTypeConfig::informationWhere},
    {f::kPageAgreement, "agreement", 2, 3, "license", &InstallTypeConfig::license, &InstallTypeConfig::licenseWhere},
};

// Whether a program or library is built for 64-bit Windows: its PE header's
// machine, looked for in the first 4 KiB, where linkers put it.
bool Is64BitProgram(const std::filesystem::path& source) {
  std::string extension = FoldCase(Utf8(source.extension()));
  if (extension != ".exe" && extension != ".dll") return false;
  std::vector<uint8_t> head(4096);
  std::ifstream in(source, std::ios::binary);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  std::optional<uint16_t> machine = PeMachine(head);
  return machine && (*machine == 0x8664 || *machine == 0xAA64);
}

class Finder {
 public:
  explicit Finder(const Project& project) : project_(project) {}

  std::vector<Warning> Run() {
    bool registers = false;
    for (const InstallTypeConfig& type : project_.types) {
      registers |= (type.options & f::kOptRegisterUninstall) != 0;
      Files(type);
      for (const TextPage& page : kTextPages) Pages(type, page);
    }
    // The list of installed programs shows an empty version, and nothing tells an
    // update from the version it replaces.
    if (registers && project_.version.empty())
      Add(project_.where,
          "register_uninstall is set but [product] has no \"version\" for the list of installed "
          "programs");
    return std::move(warnings_);
  }

 private:
  void Add(const Where& where, std::string text) {
    Where at = where.file.empty() ? project_.where : where;
    if (seen_.insert(fmt::format("{}:{}:{}", at.file, at.line, text)).second)
      warnings_.push_back({at, std::move(text)});
  }

  void Files(const InstallTypeConfig& type) {
    bool any = false;
    for (const FileItem& item : type.files) {
      if (item.source.empty()) continue;
      any = true;
      std::error_code ec;
      if (std::filesystem::file_size(item.source, ec) == 0 && !ec)
        Add(item.where, fmt::format("source \"{}\" is empty (0 bytes)", Utf8(item.source)));
      if (project_.architecture == f::kArchitectureX86 && Is64BitProgram(item.source))
        Add(item.where, fmt::format("a 64-bit program in a 32-bit product is installed to Program Files (x86): "
                                    "\"{}\"; set [product] architecture = \"x64\"",
                                    Utf8(item.source)));
    }
    if (any) return;
    // Without [[install_type]] the one type has a name the author never wrote.
    Add(type.where, type.where.file.empty() ? std::string("the project installs no files")
                                            : fmt::format("install type \"{}\" installs no files", type.name));
  }

  void Pages(const InstallTypeConfig& type, const TextPage& p) {
    bool shown = std::find(type.pages.begin(), type.pages.end(), p.page) != type.pages.end();
    const Where& fileWhere = type.*p.fileWhere;
    bool fromFile = !fileWhere.file.empty();
    if (fromFile && Blank(type.*p.file)) {
      Add(fileWhere, fmt::format("the {} file is empty: {}", p.what,
                                 shown ? fmt::format("the {} page shows no text", p.pageName)
                                       : fmt::format("the {} page is left out", p.pageName)));
      return;
    }
    bool hasText = !Blank(Text(type, p.list, p.item));
    if (shown && !hasText && type.pagesGiven)
      Add(type.pagesWhere, fmt::format("pages show \"{}\" but no {} is given", p.pageName, p.what));
    if (!shown && hasText)
      Add(TextWhere(type, p.list, p.item, type.pagesWhere),
          fmt::format("the {} is never shown: pages leave out \"{}\"", p.what, p.pageName));
  }

  const Project& project_;
  std::vector<Warning> warnings_;
  std::set<std::string> seen_;
};

}  // namespace

std::vector<Warning> FindWarnings(const Project& project) { return Finder(project).Run(); }

std::string FormatWarning(const Warning& w) { return AtPlace(w.where, "warning: " + w.text); }

}  // namespace wrenly::builder
