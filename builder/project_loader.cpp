#include "builder/project_loader.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <set>

#include "builder/checks.h"
#include "builder/code_page.h"
#include "builder/dib.h"
#include "builder/product_resources.h"
#include "builder/read_file.h"
#include "builder/records.h"
#include "builder/utf8_path.h"
#include "builder/version_info.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "format/product_identity.h"
#include "format/settings.h"
#include "format/uninstall_log.h"
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace wrenly::builder {
namespace f = wrenly::format;
namespace fs = std::filesystem;

namespace {

// What keeps `path` from being read as a file: "" for a regular file and for none at all.
std::string NotAFile(const fs::path& path) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) return "is a folder";
  return fs::exists(status) && !fs::is_regular_file(status) ? "is not a regular file" : "";
}

std::vector<uint8_t> ReadBytes(const fs::path& path, const Where& where) {
  if (std::string problem = NotAFile(path); !problem.empty())
    throw BuildError(where, fmt::format("\"{}\" {}", Utf8(path), problem));
  auto bytes = ReadWholeFile(path);
  if (!bytes) throw BuildError(where, fmt::format("cannot read \"{}\"", Utf8(path)));
  return std::move(*bytes);
}

std::string ReadText(const fs::path& path, const Where& where) {
  std::vector<uint8_t> b = ReadBytes(path, where);
  std::string_view text(reinterpret_cast<const char*>(b.data()), b.size());
  if (size_t at = FirstNonUtf8(text); at != std::string_view::npos)
    throw BuildError(where, fmt::format("\"{}\" is not UTF-8 (byte 0x{:02X} at {}; it looks like {}): save it as UTF-8",
                                        Utf8(path), b[at], at, LikelyEncoding(text)));
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) b.erase(b.begin(), b.begin() + 3);
  std::string out;
  for (uint8_t c : b)
    if (c != '\r' && c != 0) out.push_back(static_cast<char>(c));
  return out;
}

std::string Backslashes(std::string s) {
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

constexpr std::pair<const char*, uint8_t> kPages[] = {
    {"welcome", f::kPageWelcome},     {"information", f::kPageInformation},
    {"agreement", f::kPageAgreement}, {"destination", f::kPageDestination},
    {"ready", f::kPageReady},         {"progress", f::kPageProgress},
    {"finish", f::kPageFinish},
};

constexpr std::pair<const char*, uint32_t> kDestinations[] = {
    {"install", f::kDestInstallDir}, {"windows", f::kDestWindows},
    {"system", f::kDestShared},      {"shared", f::kDestShared},
    {"fonts", f::kDestFonts},        {"desktop", f::kDestDesktop},
    {"temp", f::kDestTemp},          {"mydocuments", f::kDestMyDocuments},
    {"appdata", f::kDestAppData},
};

constexpr std::pair<const char*, uint32_t> kRoots[] = {
    {"HKCR", 0}, {"HKEY_CLASSES_ROOT", 0},  {"HKCU", 1}, {"HKEY_CURRENT_USER", 1},
    {"HKLM", 2}, {"HKEY_LOCAL_MACHINE", 2}, {"HKU", 3},  {"HKEY_USERS", 3},
};

constexpr std::pair<const char*, uint8_t> kArchitectures[] = {
    {"x86", f::kArchitectureX86},
    {"x64", f::kArchitectureX64},
};

constexpr std::pair<const char*, uint8_t> kScopes[] = {
    {"machine", f::kScopeMachine},
    {"user", f::kScopeUser},
};

constexpr std::pair<const char*, uint8_t> kRecordPlaces[] = {
    {"appended", 0},
    {"beside", 1},
};

constexpr std::pair<const char*, uint32_t> kRunKinds[] = {
    {"after-install", f::kRunAfterInstall},
    {"finish-page", f::kRunAtFinishPage},
    {"after-wizard", f::kRunAfterWizard},
    {"on-request", f::kRunOnRequest},
};

constexpr std::pair<const char*, uint32_t> kPlacements[] = {
    {"top-left", 0},
    {"tile", f::kSetBitmapTile},
    {"stretch", f::kSetBitmapStretch},
    {"centre", f::kSetBitmapCentreX | f::kSetBitmapCentreY},
    {"center", f::kSetBitmapCentreX | f::kSetBitmapCentreY},
    {"top", f::kSetBitmapCentreX},
    {"bottom", f::kSetBitmapCentreX | f::kSetBitmapBottom},
    {"top-right", f::kSetBitmapRight},
    {"bottom-left", f::kSetBitmapBottom},
    {"bottom-right", f::kSetBitmapRight | f::kSetBitmapBottom},
};

template <size_t N, typename V>
V Choose(const TomlReader& r, const toml::table& t, std::string_view key, const std::string& value,
         const std::pair<const char*, V> (&names)[N]) {
  for (const auto& [name, v] : names)
    if (value == name) return v;
  std::string list;
  for (const auto& [name, v] : names) list += (list.empty() ? "" : ", ") + std::string(name);
  std::string_view what = key == "pages" || key == "single_page" ? "page kind"
                          : key == "when"                        ? "run moment"
                          : key == "root"                        ? "registry root"
                                                                 : key;
  const char* article = std::string_view("aeiou").find(what[0]) != std::string_view::npos ? "an" : "a";
  throw BuildError(r.At(t, key), fmt::format("\"{}\" is not {} {}; the {}s are: {}", value, article, what, what, list));
}

constexpr char kDefaultUninstallerFile[] = "uninstall.exe";
constexpr char kUserRegistry[] =
    "a per-user product writes only below HKEY_CURRENT_USER (use HKCU\\Software\\Classes for file types)";
// The longest id taken: a key name leaves room for the rest of the uninstall key's path.
constexpr size_t kMaxIdBytes = 200;
constexpr char kVersionForm[] = "version must be one to four numbers up to 65535 joined by dots, like \"1.2.3.4\"";

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

bool Match(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') return Match(pattern.substr(1), name) || (!name.empty() && Match(pattern, name.substr(1)));
  if (name.empty()) return false;
  if (pattern[0] != '?' &&
      std::tolower(static_cast<unsigned char>(pattern[0])) != std::tolower(static_cast<unsigned char>(name[0])))
    return false;
  return Match(pattern.substr(1), name.substr(1));
}

uint64_t FileTimeOf(const fs::path& p) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data)) return 116444736000000000ull;
  return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
#else
  // FILETIME counts 100 ns from 1601; the clock's epoch is taken as 1970.
  struct stat st {};
  if (stat(p.c_str(), &st) != 0) return 116444736000000000ull;
  return static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000ull + static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100 +
         116444736000000000ull;
#endif
}

class Loader {
 public:
  Loader(const fs::path& file, const Defines& defines) : defines_(defines), r_(Utf8(file), defines_) {
    project_.file = file;
    project_.folder = file.parent_path();
  }

  Project Load() {
    toml::table root;
    try {
      // Read here: toml++ would open the file by an ANSI name on Windows.
      std::vector<uint8_t> bytes = ReadBytes(project_.file, Where{Utf8(project_.file), 0});
      std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      // The parser would only name a bad sequence; the author needs to hear how to save the file.
      if (size_t at = std::min(FirstNonUtf8(text), text.find('\0')); at != std::string_view::npos)
        throw BuildError(
            Where{Utf8(project_.file), 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'))},
            fmt::format("the project file must be UTF-8, and it looks like {}", LikelyEncoding(text)));
      root = toml::parse(text, Utf8(project_.file));
    } catch (const toml::parse_error& e) {
      throw BuildError(Where{Utf8(project_.file), static_cast<int>(e.source().begin.line)},
                       std::string(e.description()));
    }
    r_.RequireKnownKeys(
        root, {"product", "setup", "background", "theme", "uninstaller", "texts", "files", "install_type", "signing"},
        "the project");
    const toml::table* product = r_.Table(root, "product");
    if (!product) throw BuildError(Where{Utf8(project_.file), 1}, "the [product] table is missing");
    ReadProduct(*product);
    if (auto* s = r_.Table(root, "setup")) ReadSetup(*s);
    productTable_ = product;
    if ((background_ = r_.Table(root, "background"))) ReadBackground(*background_);
    ReadTheme(r_.Table(root, "theme"));
    if (auto* u = r_.Table(root, "uninstaller")) ReadUninstaller(*u);
    if (auto* s = r_.Table(root, "signing")) {
      r_.RequireKnownKeys(*s, {"command"}, "[signing]");
      project_.signing = r_.String(*s, "command");
      project_.signingWhere = r_.At(*s, "command");
    }

    std::vector<const toml::table*> types = r_.Tables(root, "install_type");
    if (types.size() > f::kMaxInstallTypes)
      throw BuildError(r_.At(*types[f::kMaxInstallTypes]),
                       fmt::format("{} install types; a package holds 1 to {}", types.size(), f::kMaxInstallTypes));
    if (const toml::array* a = r_.Array(root, "install_type"); a && a->empty())
      throw BuildError(r_.At(*a), "install_type is empty; a package holds 1 to 16 install types");
    const toml::table* globalTexts = r_.Table(root, "texts");
    std::vector<const toml::table*> globalFiles = r_.Tables(root, "files");
    if (types.empty()) types.push_back(nullptr);
    for (const toml::table* t : types) {
      InstallTypeConfig type = base_;
      type.name = "Typical";
      if (t) ReadInstallType(*t, type);
      project_.types.push_back(std::move(type));
    }
    if (project_.initialType >= static_cast<int>(project_.types.size()))
      throw BuildError(r_.At(*r_.Table(root, "setup"), "initial_type"),
                       fmt::format("initial_type {} names no install type; there are {}", project_.initialType + 1,
                                   project_.types.size()));
    // Registering the product for removal takes an uninstaller.
    bool registers = std::any_of(project_.types.begin(), project_.types.end(),
                                 [](const auto& t) { return (t.options & f::kOptRegisterUninstall) != 0; });
    if (registers && project_.uninstallerName.empty()) {
      project_.uninstallerName = kDefaultUninstallerFile;
      project_.uninstallerTexts = DefaultUninstallerTexts(project_.product);
      uninstallerWhere_ = productWhere_;
    }
    if (!project_.uninstallerName.empty()) project_.uninstallerTexts[f::kTextPlace] = project_.uninstallerName;
    for (size_t i = 0; i < project_.types.size(); ++i) {
      InstallTypeConfig& type = project_.types[i];
      FinishTexts(type, globalTexts, types[i] ? r_.Table(*types[i], "texts") : nullptr);
      if (!project_.uninstallerName.empty()) type.files.push_back(UninstallerEntry());
      for (const toml::table* file : globalFiles)
        if (AppliesTo(*file, type)) ReadFiles(*file, type);
      if (types[i])
        for (const toml::table* file : r_.Tables(*types[i], "files")) ReadFiles(*file, type);
      AddFolderEntries(type);
      CheckCollisions(type);
    }
    ToCodePage();
    for (InstallTypeConfig& type : project_.types) {
      for (FileItem& item : type.files)
        if (item.status & f::kOptUninstaller) item.content = BuildUninstallerData(project_.uninstallerTexts);
      FinishSections(type);
    }
    return std::move(project_);
  }

 private:
  void ReadProduct(const toml::table& t) {
    r_.RequireKnownKeys(t,
                        {"name",
                         "folder",
                         "folder_editable",
                         "register_uninstall",
                         "folder_registry",
                         "folder_ini",
                         "pages",
                         "information",
                         "license",
                         "count_files_in_full",
                         "finish_run_button",
                         "finish_run_checkbox",
                         "no_progress_page",
                         "title_in_caption",
                         "append_to_uninstaller",
                         "version",
                         "publisher",
                         "url",
                         "copyright",
                         "icon",
                         "architecture",
                         "scope",
                         "id",
                         "allow_downgrade"},
                        "[product]");
    auto name = r_.String(t, "name");
    if (!name || name->empty()) throw BuildError(r_.At(t), "[product] needs a non-empty \"name\"");
    project_.product = *name;
    productWhere_ = r_.At(t);
    project_.where = productWhere_;
    ReadIdentity(t);
    project_.version = FieldText(t, "version");
    project_.publisher = FieldText(t, "publisher");
    project_.url = FieldText(t, "url");
    project_.copyright = FieldText(t, "copyright");
    if (auto icon = r_.String(t, "icon")) {
      auto bytes = ReadWholeFile(Input(*icon));
      if (!bytes) throw BuildError(r_.At(t, "icon"), fmt::format("cannot read the icon \"{}\"", *icon));
      project_.icon = std::move(*bytes);
      try {
        IconResources(project_.icon, 1, 1);  // an icon that is not one fails here, at its line
      } catch (const BuildError& e) { throw BuildError(r_.At(t, "icon"), fmt::format("\"{}\": {}", *icon, e.what())); }
    }
    // The list of installed programs shows it and sorts by it.
    if (!project_.version.empty() && !ParseVersion(project_.version))
      throw BuildError(r_.At(t, "version"), kVersionForm);
    if (!defines_.count("PRODUCT")) defines_["PRODUCT"] = *name;
    base_.options = f::kOptFolderEditable;
    base_.folder = "#Program Files#\\" + *name;
    ReadTypeKeys(t, base_);
    if (!t.contains("folder"))  // the name makes the folder: "A: B" cannot be one
      CheckPath(base_.folder, PathRule::kInstallFolder, r_.At(t, "name"), "default folder (give \"folder\")");
  }

  // Read before anything else: the scope decides what the rest may ask for.
  void ReadIdentity(const toml::table& t) {
    if (auto v = r_.String(t, "architecture"))
      project_.architecture = Choose(r_, t, "architecture", *v, kArchitectures);
    if (auto v = r_.String(t, "scope")) project_.scope = Choose(r_, t, "scope", *v, kScopes);
    if (r_.Bool(t, "allow_downgrade").value_or(false)) project_.identityFlags |= f::kIdentityAllowDowngrade;
    auto id = r_.String(t, "id");
    if (!id) return;
    Where at = r_.At(t, "id");
    if (id->empty()) throw BuildError(at, "id is empty; leave it out to use the product name");
    if (id->find('\\') != std::string::npos)
      throw BuildError(at, "id holds a backslash; it names one registry key, not a path");
    if (id->size() > kMaxIdBytes)
      throw BuildError(at, fmt::format("id is {} bytes long; at most {}", id->size(), kMaxIdBytes));
    for (char c : *id)
      if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F)
        throw BuildError(at, fmt::format("id holds control character {}", static_cast<int>(c)));
    project_.id = *id;
  }

  bool PerUser() const { return project_.scope == f::kScopeUser; }

  // A folder a per-user product cannot write to without administrator rights.
  void CheckUserFolder(const std::string& folder, const Where& where, std::string_view what) const {
    if (!PerUser()) return;
    std::string lower = FoldCase(folder);
    for (const char* machine : {"#windows#", "#system#"})
      if (lower.starts_with(machine))
        throw BuildError(where, fmt::format("{} \"{}\": a per-user product cannot install below {}", what, folder,
                                            folder.substr(0, std::string_view(machine).size())));
  }

  // Registry roots default to the product's own hive.
  uint32_t ReadRoot(const toml::table& t) {
    auto v = r_.String(t, "root");
    if (!v) return PerUser() ? 1 : 2;
    uint32_t root = Choose(r_, t, "root", *v, kRoots);
    if (PerUser() && root != 1) throw BuildError(r_.At(t, "root"), kUserRegistry);
    return root;
  }

  // Keys that [product] gives every type and an [[install_type]] may override.
  void ReadTypeKeys(const toml::table& t, InstallTypeConfig& type) {
    if (auto v = r_.String(t, "folder")) {
      type.folder = Backslashes(*v);
      // Empty: the package names no default folder.
      if (!type.folder.empty()) CheckPath(type.folder, PathRule::kInstallFolder, r_.At(t, "folder"), "folder");
      CheckUserFolder(type.folder, r_.At(t, "folder"), "folder");
    }
    auto option = [&](std::string_view key, uint16_t bit) {
      if (auto v = r_.Bool(t, key)) type.options = *v ? (type.options | bit) : (type.options & ~bit);
    };
    auto more = [&](std::string_view key, uint32_t bit) {
      if (auto v = r_.Bool(t, key)) type.moreOptions = *v ? (type.moreOptions | bit) : (type.moreOptions & ~bit);
    };
    option("folder_editable", f::kOptFolderEditable);
    option("register_uninstall", f::kOptRegisterUninstall);
    option("append_to_uninstaller", f::kOptUninstallerAppend);
    option("count_files_in_full", f::kOptCountFilesInFull);
    option("finish_run_button", f::kOptFinishRunButton);
    option("finish_run_checkbox", f::kOptFinishRunCheckBox);
    more("no_progress_page", f::kMoreOptNoProgressPage);
    more("title_in_caption", f::kMoreOptTitleInCaption);
    if (auto* reg = r_.Table(t, "folder_registry")) {
      r_.RequireKnownKeys(*reg, {"root", "key", "value"}, "folder_registry");
      RegistryPlace place;
      place.root = ReadRoot(*reg);
      auto key = r_.String(*reg, "key");
      if (!key || key->empty()) throw BuildError(r_.At(*reg), "folder_registry needs a \"key\"");
      place.key = *key;
      place.value = r_.String(*reg, "value").value_or("");
      type.folderRegistry = place;
      type.options |= f::kOptFolderInRegistry;
    }
    if (auto* ini = r_.Table(t, "folder_ini")) {
      r_.RequireKnownKeys(*ini, {"file", "section", "key"}, "folder_ini");
      IniPlace place;
      for (auto [key, field] : {std::pair{"file", &place.file}, {"section", &place.section}, {"key", &place.key}}) {
        auto v = r_.String(*ini, key);
        if (!v || v->empty()) throw BuildError(r_.At(*ini), fmt::format("folder_ini needs a \"{}\"", key));
        *field = *v;
      }
      type.folderIni = place;
      type.options |= f::kOptFolderInIni;
    }
    if (auto v = r_.String(t, "information")) {
      type.information = ReadText(Input(*v), r_.At(t, "information"));
      type.informationWhere = r_.At(t, "information");
    }
    if (auto v = r_.String(t, "license")) {
      type.license = ReadText(Input(*v), r_.At(t, "license"));
      type.licenseWhere = r_.At(t, "license");
    }
    if (auto pages = r_.Strings(t, "pages")) {
      type.pages.clear();
      for (const auto& p : *pages) type.pages.push_back(Choose(r_, t, "pages", p, kPages));
      // The Installer closes the sequence with its own closing page and an end
      // marker; both must still fit the twelve bytes.
      if (type.pages.size() > f::install_type::kPageSequenceSize - 2)
        throw BuildError(r_.At(t, "pages"), fmt::format("{} pages; at most {} fit", type.pages.size(),
                                                        f::install_type::kPageSequenceSize - 2));
      type.pagesGiven = true;
      type.pagesWhere = r_.At(t, "pages");
    }
  }

  void ReadInstallType(const toml::table& t, InstallTypeConfig& type) {
    r_.RequireKnownKeys(
        t,
        {"name", "folder", "folder_editable", "register_uninstall", "folder_registry", "folder_ini", "pages",
         "information", "license", "count_files_in_full", "finish_run_button", "finish_run_checkbox",
         "no_progress_page", "title_in_caption", "append_to_uninstaller", "texts", "files"},
        "[[install_type]]");
    type.where = r_.At(t);
    if (auto v = r_.String(t, "name")) type.name = *v;
    ReadTypeKeys(t, type);
  }

  void ApplyTexts(InstallTypeConfig& type, const toml::table* texts) {
    if (!texts) return;
    for (auto&& [key, node] : *texts) {
      Where where{r_.file(), static_cast<int>(key.source().begin.line)};
      if (where.line == 0) where = r_.At(node);
      auto id = ParseMessageKey(key.str());
      if (!id)
        throw BuildError(
            where, fmt::format("unknown text \"{}\" (write list/item like \"7/31\" or a documented name)", key.str()));
      if (!node.is_string()) throw BuildError(where, fmt::format("text \"{}\" must be a string", key.str()));
      SetText(type, id->first, id->second, r_.Expand(node, node.value<std::string>().value()), where);
    }
  }

  void SetText(InstallTypeConfig& type, int list, int item, std::string text, const Where& where) {
    SetMessage(type.texts, list, item, std::move(text));
    auto& w = type.textWhere[list];
    if (w.size() <= static_cast<size_t>(item)) w.resize(item + 1);
    w[item] = where;
  }

  void FinishTexts(InstallTypeConfig& type, const toml::table* global, const toml::table* own) {
    type.texts = DefaultMessages(project_.product);
    for (auto& w : type.textWhere) w.clear();
    if (!type.information.empty()) SetText(type, 1, 2, type.information, type.informationWhere);
    if (!type.license.empty()) SetText(type, 2, 3, type.license, type.licenseWhere);
    ApplyTexts(type, global);
    ApplyTexts(type, own);
    for (int list = 0; list < kListCount; ++list)
      for (size_t item = 0; item < type.texts[list].size(); ++item) {
        std::string problem = CheckPlaceholders(type.texts[list][item], PlaceholdersOf(list, static_cast<int>(item)));
        if (problem.empty()) continue;
        Where where = item < type.textWhere[list].size() ? type.textWhere[list][item] : Where{};
        if (where.file.empty()) where = Where{r_.file(), 0};
        throw BuildError(where, fmt::format("text {}/{} {}", list, item, problem));
      }
    if (!type.pagesGiven) {
      type.pages = {f::kPageWelcome};
      if (!type.information.empty()) type.pages.push_back(f::kPageInformation);
      if (!type.license.empty()) type.pages.push_back(f::kPageAgreement);
      for (uint8_t p : {f::kPageDestination, f::kPageReady, f::kPageProgress, f::kPageFinish}) type.pages.push_back(p);
    }
  }

  void ReadSetup(const toml::table& t) {
    r_.RequireKnownKeys(t, {"stub", "compression", "level", "volume_size", "single_page", "initial_type", "codepage"},
                        "[setup]");
    if (auto v = r_.Integer(t, "codepage", 1, 65535)) {
      project_.codePage = static_cast<unsigned>(*v);
      codePageWhere_ = r_.At(t, "codepage");
    }
    if (auto v = r_.String(t, "single_page")) project_.singlePage = Choose(r_, t, "single_page", *v, kPages);
    if (auto v = r_.Integer(t, "initial_type", 1, f::kMaxInstallTypes)) project_.initialType = static_cast<int>(*v - 1);
    if (auto v = r_.String(t, "stub")) project_.stub = Source(*v);
    if (auto v = r_.String(t, "compression")) project_.compression = ReadCompression(t, *v);
    if (auto v = r_.Integer(t, "level", 1, 9)) project_.level = static_cast<int>(*v);
    if (auto v = r_.Integer(t, "volume_size", 0, 0xFFFFFFFFll)) project_.volumeSize = static_cast<uint64_t>(*v);
  }

  Compression ReadCompression(const toml::table& t, const std::string& v) {
    if (v == "zlib") return Compression::kZlib;
    if (v == "bzip2") return Compression::kBzip2;
    if (v == "lzma") return Compression::kLzma;
    throw BuildError(r_.At(t, "compression"),
                     fmt::format("compression \"{}\" is unknown (use \"zlib\", \"bzip2\" or \"lzma\")", v));
  }

  void ReadBackground(const toml::table& t) {
    r_.RequireKnownKeys(
        t, {"mode", "gradient", "top_colour", "bottom_colour", "colour", "title", "title_style", "bitmap", "placement"},
        "[background]");
    if (auto v = r_.String(t, "mode")) {
      if (*v != "windowed" && *v != "fullscreen")
        throw BuildError(r_.At(t, "mode"),
                         fmt::format("mode \"{}\" is unknown (use \"windowed\" or \"fullscreen\")", *v));
      project_.fullscreen = *v == "fullscreen";
    }
    if (auto v = r_.Bool(t, "gradient")) project_.gradient = *v;
    if (auto v = r_.Colour(t, "colour")) {
      project_.topColour = *v;
      project_.gradient = false;
    }
    if (auto v = r_.Colour(t, "top_colour")) project_.topColour = *v;
    if (auto v = r_.Colour(t, "bottom_colour")) project_.bottomColour = *v;
    if (auto v = r_.String(t, "placement")) project_.bitmapPlacement = Choose(r_, t, "placement", *v, kPlacements);
    if (auto v = r_.String(t, "title")) project_.title = *v;
    if (auto* s = r_.Table(t, "title_style")) {
      r_.RequireKnownKeys(*s, {"colour", "shadow_colour", "align", "font", "size", "bold", "italic"}, "title_style");
      auto& st = project_.titleStyle;
      if (auto v = r_.Colour(*s, "colour")) st.textColour = *v;
      if (auto v = r_.Colour(*s, "shadow_colour")) st.shadowColour = *v;
      if (auto v = r_.String(*s, "align")) {
        if (*v != "left" && *v != "right") throw BuildError(r_.At(*s, "align"), "align must be \"left\" or \"right\"");
        st.alignment = *v == "right";
      }
      if (auto v = r_.String(*s, "font")) {
        if (v->size() > 31) throw BuildError(r_.At(*s, "font"), "font names are at most 31 characters");
        st.face = *v;
      }
      if (auto v = r_.Integer(*s, "size", 4, 400)) st.height = -static_cast<int32_t>(*v);
      if (auto v = r_.Bool(*s, "bold")) st.weight = *v ? 700 : 400;
      if (auto v = r_.Bool(*s, "italic")) st.italic = *v;
    }
    for (const toml::table* b : r_.Tables(t, "bitmap")) {
      r_.RequireKnownKeys(*b, {"file", "screen"}, "[[background.bitmap]]");
      auto file = r_.String(*b, "file");
      if (!file) throw BuildError(r_.At(*b), "a background bitmap needs a \"file\"");
      Rgb img = DecodeImage(ReadBytes(Input(*file), r_.At(*b, "file")), r_.At(*b, "file"));
      BackgroundVariant v{img.width, img.height, MakeBmpFile(img)};
      if (auto screen = r_.String(*b, "screen")) {
        int w = 0, h = 0;
        if (std::sscanf(screen->c_str(), "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0)
          throw BuildError(r_.At(*b, "screen"), "screen must look like \"1024x768\"");
        v.width = w;
        v.height = h;
      }
      project_.variants.push_back(std::move(v));
    }
  }

  void ReadTheme(const toml::table* t) {
    project_.sideBitmap = MakeDib(DefaultSidePicture());
    project_.headerBitmap = MakeDib(DefaultHeaderPicture());
    if (!t) return;
    r_.RequireKnownKeys(*t, {"side_bitmap", "header_bitmap"}, "[theme]");
    if (auto v = r_.String(*t, "side_bitmap"))
      project_.sideBitmap =
          MakeDib(DecodeImage(ReadBytes(Input(*v), r_.At(*t, "side_bitmap")), r_.At(*t, "side_bitmap")));
    if (auto v = r_.String(*t, "header_bitmap"))
      project_.headerBitmap =
          MakeDib(DecodeImage(ReadBytes(Input(*v), r_.At(*t, "header_bitmap")), r_.At(*t, "header_bitmap")));
  }

  void ReadUninstaller(const toml::table& t) {
    r_.RequireKnownKeys(t, {"program", "file", "texts", "record", "registry_keys", "registry_values", "ini_values"},
                        "[uninstaller]");
    uninstallerWhere_ = r_.At(t);
    if (auto v = r_.String(t, "program")) {
      project_.uninstallerImage = ReadBytes(Input(*v), r_.At(t, "program"));
      if (project_.uninstallerImage.empty()) throw BuildError(r_.At(t, "program"), fmt::format("\"{}\" is empty", *v));
    }
    project_.uninstallerName = Backslashes(r_.String(t, "file").value_or(kDefaultUninstallerFile));
    if (auto v = r_.String(t, "record")) project_.recordBeside = Choose(r_, t, "record", *v, kRecordPlaces) != 0;
    CheckUninstallerPlace(t);
    project_.uninstallerTexts = DefaultUninstallerTexts(project_.product);
    if (const toml::table* texts = r_.Table(t, "texts"))
      for (auto&& [key, node] : *texts) {
        auto index = ParseUninstallerTextKey(key.str());
        if (!index)
          throw BuildError(r_.At(node), fmt::format("unknown uninstaller text \"{}\" (use one of: {})", key.str(),
                                                    UninstallerTextNames()));
        project_.uninstallerTexts[*index] = FieldText(*texts, key.str());
      }
    for (const toml::table* k : r_.Tables(t, "registry_keys")) {
      r_.RequireKnownKeys(*k, {"root", "key"}, "registry_keys");
      extraSections_.push_back({r_.At(*k), f::kSectionRegistryKey, ReadRoot(*k), {Required(*k, "key")}});
    }
    for (const toml::table* k : r_.Tables(t, "registry_values")) {
      r_.RequireKnownKeys(*k, {"root", "key", "value"}, "registry_values");
      extraSections_.push_back({r_.At(*k),
                                f::kSectionRegistryValue,
                                ReadRoot(*k),
                                {Required(*k, "key"), r_.String(*k, "value").value_or("")}});
    }
    for (const toml::table* k : r_.Tables(t, "ini_values")) {
      r_.RequireKnownKeys(*k, {"file", "section", "key"}, "ini_values");
      extraSections_.push_back(
          {r_.At(*k), f::kSectionIniValue, 0, {Required(*k, "file"), Required(*k, "section"), Required(*k, "key")}});
    }
  }

  std::string Required(const toml::table& t, std::string_view key) {
    auto v = r_.String(t, key);
    if (!v || v->empty()) throw BuildError(r_.At(t), fmt::format("\"{}\" is required here", key));
    return *v;
  }

  // A text the package keeps as a StringField.
  std::string FieldText(const toml::table& t, std::string_view key) {
    std::string v = r_.String(t, key).value_or("");
    if (v.size() > 0xFFFF) throw BuildError(r_.At(t, key), fmt::format("\"{}\" is longer than 65535 bytes", key));
    return v;
  }

  // The uninstaller finds the installation folder by taking its place off
  // its own path: the place must lie below that folder.
  void CheckUninstallerPlace(const toml::table& t) {
    const std::string& place = project_.uninstallerName;
    std::string problem = PathProblem(place, PathRule::kBelow);
    if (!problem.empty())
      throw BuildError(r_.At(t, "file"), fmt::format("uninstaller file \"{}\" must be a path below the installation "
                                                     "folder, like \"uninstall.exe\" or \"bin\\uninstall.exe\": it {}",
                                                     place, problem));
  }

  // The record lists only folders that have an entry; without one the
  // uninstaller would leave behind the subfolders the files were put in.
  // Parents come first, each before the first entry inside it.
  static void AddFolderEntries(InstallTypeConfig& type) {
    auto lower = [](std::string s) {
      for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return s;
    };
    // An item's path below the installation folder; "" when it goes elsewhere.
    auto below = [&](const FileItem& item) -> std::string {
      const std::string token = "#installdir#\\", &folder = item.items[f::kItemFolder];
      if (item.flags & f::kFlagSourceFolder) return "";
      if (item.kind == f::kDestInstallDir) return item.items[f::kItemName];
      bool custom = item.kind == f::kDestCustom && !(item.flags & f::kFlagFolder);
      if (!custom || lower(folder.substr(0, token.size())) != token) return "";
      return folder.substr(token.size()) + "\\" + item.items[f::kItemName];
    };
    std::set<std::string> known;
    for (const FileItem& item : type.files)
      if (item.kind == f::kDestInstallDir && (item.flags & f::kFlagFolder)) {
        std::string name = item.items[f::kItemName];
        while (!name.empty() && name.back() == '\\') name.pop_back();
        known.insert(lower(name));
      }
    std::vector<FileItem> files;
    for (FileItem& item : type.files) {
      const std::string name = below(item);
      for (size_t cut = name.find('\\'); cut != std::string::npos; cut = name.find('\\', cut + 1)) {
        std::string folder = name.substr(0, cut), last = folder.substr(folder.rfind('\\') + 1);
        if (last.empty() || last == "." || last == ".." || !known.insert(lower(folder)).second) continue;
        FileItem entry;
        entry.where = item.where;
        entry.kind = f::kDestInstallDir;
        entry.flags = f::kFlagFolder;
        entry.items[f::kItemName] = folder + "\\";
        files.push_back(std::move(entry));
      }
      files.push_back(std::move(item));
    }
    type.files = std::move(files);
  }

  FileItem UninstallerEntry() {
    FileItem item;
    item.where = uninstallerWhere_;
    item.status = f::kOptUninstaller;
    item.kind = f::kDestInstallDir;
    item.items[f::kItemName] = project_.uninstallerName;
    item.compression = project_.compression;
    item.level = project_.level;
    return item;
  }

  // Two entries whose names differ only in case would overwrite each other.
  void CheckCollisions(const InstallTypeConfig& type) const {
    auto named = [&](const FileItem& item) {
      std::string name = fmt::format("\"{}\"", item.items[f::kItemName]);
      if (item.source.empty()) return name;
      return fmt::format("{} from \"{}\"", name, GenericUtf8(item.source.lexically_proximate(project_.folder)));
    };
    std::map<std::string, const FileItem*> seen;
    for (const FileItem& item : type.files) {
      if (item.flags & (f::kFlagFolder | f::kFlagSourceFolder)) continue;
      std::string folder = item.kind == f::kDestCustom ? FoldCase(item.items[f::kItemFolder]) : "";
      while (folder.ends_with('\\')) folder.pop_back();
      uint32_t kind = item.kind;
      if (folder == "#installdir#" || folder.starts_with("#installdir#\\")) {
        kind = f::kDestInstallDir;
        folder = folder.substr(std::min<size_t>(folder.size(), 13));
      }
      std::string place = fmt::format("{}|{}", kind, Join(folder, FoldCase(item.items[f::kItemName])));
      auto [other, fresh] = seen.emplace(place, &item);
      if (!fresh)
        throw BuildError(item.where, fmt::format("{} goes where {} (line {}) goes in install type \"{}\"", named(item),
                                                 named(*other->second), other->second->where.line, type.name));
    }
  }

  // Every text the package carries goes through here on its way into the records.
  void ToCodePage() {
    CodePage page(project_.codePage, codePageWhere_.file.empty() ? productWhere_ : codePageWhere_);
    auto convert = [&](std::string& text, const Where& where) { text = page.FromUtf8(text, where); };
    // In a double-byte code page, a character may end in the byte of a backslash.
    auto path = [&](std::string& text, const Where& where) {
      auto slashes = std::count(text.begin(), text.end(), '\\');
      convert(text, where);
      if (std::count(text.begin(), text.end(), '\\') != slashes)
        throw BuildError(where, fmt::format("a name here takes a backslash byte in code page {}", project_.codePage));
    };
    auto at = [&](const toml::table* t, std::string_view key) { return t ? r_.At(*t, key) : productWhere_; };
    convert(project_.product, productWhere_);
    convert(project_.id, at(productTable_, "id"));
    for (auto [field, key] :
         {std::pair{&project_.version, "version"}, {&project_.publisher, "publisher"}, {&project_.url, "url"}})
      convert(*field, at(productTable_, key));
    convert(project_.title, at(background_, "title"));
    convert(project_.titleStyle.face, at(background_, "title_style"));
    path(project_.uninstallerName, uninstallerWhere_);
    for (std::string& text : project_.uninstallerTexts) convert(text, uninstallerWhere_);
    for (ExtraSection& e : extraSections_)
      for (std::string& text : e.text) convert(text, e.where);
    for (InstallTypeConfig& type : project_.types) {
      const Where& where = type.where.file.empty() ? productWhere_ : type.where;
      convert(type.name, where);
      path(type.folder, where);
      if (type.folderRegistry) {
        convert(type.folderRegistry->key, where);
        convert(type.folderRegistry->value, where);
      }
      if (type.folderIni)
        for (std::string* text : {&type.folderIni->file, &type.folderIni->section, &type.folderIni->key})
          convert(*text, where);
      for (int list = 0; list < kListCount; ++list)
        for (size_t item = 0; item < type.texts[list].size(); ++item) {
          const auto& places = type.textWhere[list];
          bool own = item < places.size() && !places[item].file.empty();
          convert(type.texts[list][item], own ? places[item] : productWhere_);
        }
      for (FileItem& item : type.files) {
        item.shownName = item.items[f::kItemName];
        for (std::string& text : item.items) path(text, item.where);
      }
    }
  }

  void FinishSections(InstallTypeConfig& type) {
    type.uninstallSections.clear();
    for (const ExtraSection& e : extraSections_) {
      if (e.id == f::kSectionRegistryKey) AddRegistryKeySection(type.uninstallSections, e.root, e.text[0]);
      if (e.id == f::kSectionRegistryValue)
        AddRegistryValueSection(type.uninstallSections, e.root, e.text[0], e.text[1]);
      if (e.id == f::kSectionIniValue) AddIniValueSection(type.uninstallSections, {e.text[0], e.text[1], e.text[2]});
    }
    // The key the Installer makes: in the product's own hive, named by its id.
    if ((type.options & f::kOptRegisterUninstall) && !project_.uninstallerName.empty())
      AddRegistryKeySection(type.uninstallSections, PerUser() ? 1 : 2,
                            f::kUninstallKeyPrefix + (project_.id.empty() ? project_.product : project_.id));
    if (type.folderRegistry)
      AddRegistryValueSection(type.uninstallSections, type.folderRegistry->root, type.folderRegistry->key,
                              type.folderRegistry->value);
    if (type.folderIni) AddIniValueSection(type.uninstallSections, *type.folderIni);
  }

  bool AppliesTo(const toml::table& file, const InstallTypeConfig& type) {
    auto types = r_.Strings(file, "types");
    if (!types) return true;
    for (const std::string& name : *types)
      if (std::none_of(project_.types.begin(), project_.types.end(), [&](const auto& t) { return t.name == name; }))
        throw BuildError(r_.At(file, "types"), fmt::format("install type \"{}\" does not exist", name));
    return std::find(types->begin(), types->end(), type.name) != types->end();
  }

  // Expands one [[files]] table into entries.
  void ReadFiles(const toml::table& t, InstallTypeConfig& type) {
    r_.RequireKnownKeys(t, {"source",         "name",
                            "destination",    "folder",
                            "types",          "compression",
                            "level",          "version_check",
                            "version",        "language_check",
                            "language",       "only_if_missing",
                            "shared",         "self_register",
                            "font",           "keep_times",
                            "read_only",      "screen_saver",
                            "count_existing", "start_menu",
                            "desktop",        "run",
                            "create_folder",  "beside_package"},
                        "[[files]]");
    FileItem proto;
    proto.where = r_.At(t);
    proto.compression = project_.compression;
    proto.level = project_.level;
    if (auto v = r_.String(t, "compression")) proto.compression = ReadCompression(t, *v);
    if (auto v = r_.Integer(t, "level", 1, 9)) proto.level = static_cast<int>(*v);
    std::string folder = Backslashes(r_.String(t, "folder").value_or(""));
    if (auto v = r_.String(t, "destination")) {
      bool custom = v->find_first_of("#\\/:") != std::string::npos || *v == "custom";
      if (custom) {
        proto.kind = f::kDestCustom;
        if (*v != "custom") folder = Backslashes(*v);
        if (folder.empty()) throw BuildError(r_.At(t, "destination"), "a custom destination needs a \"folder\"");
        CheckPath(folder, PathRule::kFolderBelow, r_.At(t, *v == "custom" ? "folder" : "destination"), "destination");
        CheckUserFolder(folder, r_.At(t, *v == "custom" ? "folder" : "destination"), "destination");
      } else {
        proto.kind = Choose(r_, t, "destination", *v, kDestinations);
      }
    }
    if (proto.kind != f::kDestCustom && !folder.empty())
      CheckPath(folder, PathRule::kBelow, r_.At(t, "folder"), "folder");
    if (r_.Bool(t, "font").value_or(false)) proto.kind = f::kDestFonts;
    auto flag = [&](std::string_view key, uint32_t bit) {
      if (r_.Bool(t, key).value_or(false)) proto.flags |= bit;
    };
    flag("only_if_missing", f::kFlagOnlyIfMissing);
    flag("shared", f::kFlagShared);
    flag("self_register", f::kFlagSelfRegister);
    flag("screen_saver", f::kFlagScreenSaver);
    flag("count_existing", f::kFlagKeepExistingInSpace);
    flag("version_check", f::kFlagVersionCheck);
    flag("language_check", f::kFlagLanguageCheck);
    if (r_.Bool(t, "read_only").value_or(false)) proto.status |= f::kOptReadOnly;
    if (PerUser()) CheckUserFile(t, proto);
    bool keepTimes = r_.Bool(t, "keep_times").value_or(false);
    if (auto* m = r_.Table(t, "start_menu")) {
      r_.RequireKnownKeys(*m, {"groups", "name", "args", "icon", "icon_index"}, "start_menu");
      std::string groups;
      for (const auto& g : r_.Strings(*m, "groups").value_or(std::vector<std::string>{})) {
        CheckPath(Backslashes(g), PathRule::kFolderBelow, r_.At(*m, "groups"), "group");
        groups += (groups.empty() ? "" : ";") + Backslashes(g);
      }
      proto.items[f::kItemMenuGroups] = groups;
      proto.items[f::kItemMenuName] = LinkName(Required(*m, "name"));
      CheckPath(proto.items[f::kItemMenuName], PathRule::kBelow, r_.At(*m, "name"), "shortcut");
      proto.items[f::kItemMenuArgs] = r_.String(*m, "args").value_or("");
      proto.items[f::kItemMenuIcon] = Backslashes(r_.String(*m, "icon").value_or(""));
      proto.iconIndex = static_cast<uint16_t>(r_.Integer(*m, "icon_index", 0, 65535).value_or(0));
    }
    if (auto* d = r_.Table(t, "desktop")) {
      r_.RequireKnownKeys(*d, {"name", "args", "icon", "all_users"}, "desktop");
      proto.items[f::kItemDesktopName] = LinkName(Required(*d, "name"));
      CheckPath(proto.items[f::kItemDesktopName], PathRule::kBelow, r_.At(*d, "name"), "shortcut");
      proto.items[f::kItemDesktopArgs] = r_.String(*d, "args").value_or("");
      proto.items[f::kItemDesktopIcon] = Backslashes(r_.String(*d, "icon").value_or(""));
      if (r_.Bool(*d, "all_users").value_or(false)) proto.flags |= f::kFlagAllUsersDesktop;
    }
    if (auto* run = r_.Table(t, "run")) {
      r_.RequireKnownKeys(*run, {"when", "args", "wait", "document", "after_restart"}, "run");
      uint32_t kind = Choose(r_, *run, "when", r_.String(*run, "when").value_or("after-install"), kRunKinds);
      proto.flags |= kind << f::kRunKindShift;
      proto.items[f::kItemRunArgs] = r_.String(*run, "args").value_or("");
      if (r_.Bool(*run, "wait").value_or(false)) proto.flags |= f::kFlagRunWait;
      if (r_.Bool(*run, "document").value_or(false)) proto.flags |= f::kFlagRunDocument;
      if (r_.Bool(*run, "after_restart").value_or(false)) proto.flags |= f::kFlagRunAfterRestart;
    }
    if (PerUser() && (proto.flags & f::kFlagAllUsersDesktop))
      throw BuildError(r_.At(*r_.Table(t, "desktop"), "all_users"),
                       "a per-user product puts its shortcuts on the user's own desktop: leave out all_users");
    if (proto.kind == f::kDestCustom) proto.items[f::kItemFolder] = folder;

    if (r_.Bool(t, "create_folder").value_or(false) || r_.Bool(t, "beside_package").value_or(false)) {
      bool beside = r_.Bool(t, "beside_package").value_or(false);
      proto.flags |= beside ? f::kFlagSourceFolder : f::kFlagFolder;
      std::string name = Backslashes(r_.String(t, "name").value_or(""));
      if (beside && name.empty()) throw BuildError(proto.where, "beside_package needs a \"name\"");
      // A folder entry creates the folders up to its last backslash.
      proto.items[f::kItemName] = beside ? name : Join(folder, name) + "\\";
      CheckPath(proto.items[f::kItemName], beside ? PathRule::kBelow : PathRule::kFolderBelow,
                r_.At(t, beside || folder.empty() ? "name" : "folder"), beside ? "name" : "folder");
      type.files.push_back(std::move(proto));
      return;
    }

    auto source = r_.String(t, "source");
    if (!source) throw BuildError(proto.where, "a [[files]] entry needs a \"source\"");
    std::vector<std::pair<fs::path, std::string>> found = FindSources(t, *source);
    auto rename = r_.String(t, "name");
    std::error_code ec;
    if (rename && fs::is_directory(Source(*source), ec))
      throw BuildError(r_.At(t, "name"),
                       fmt::format("\"name\" renames one file, but the source \"{}\" is a folder", *source));
    if (rename && found.size() != 1)
      throw BuildError(r_.At(t, "name"), "\"name\" renames one file, but the source matches several");
    for (auto& [path, relative] : found) {
      FileItem item = proto;
      item.source = path;
      std::string rel = rename ? Backslashes(*rename) : relative;
      bool keepsFolders = f::DestKeepsSubfolders(item.kind);
      item.items[f::kItemName] = keepsFolders ? Join(folder, rel) : rel.substr(rel.rfind('\\') + 1);
      Where named = r_.At(t, rename ? "name" : "source");
      CheckPath(rel, PathRule::kBelow, named, "name");
      CheckPath(item.items[f::kItemName], PathRule::kBelow, named, "name");
      if (keepTimes) {
        item.hasTimes = true;
        item.fileTime = FileTimeOf(path);
      }
      if (item.flags & (f::kFlagVersionCheck | f::kFlagLanguageCheck)) ReadVersion(t, item);
      type.files.push_back(std::move(item));
    }
  }

  // What only an administrator may write: the Windows and system folders,
  // the fonts, and the machine-wide count of shared files.
  void CheckUserFile(const toml::table& t, const FileItem& item) {
    const char* folder = item.kind == f::kDestWindows  ? "the Windows folder"
                         : item.kind == f::kDestShared ? "the system folder"
                         : item.kind == f::kDestFonts  ? "the Fonts folder"
                                                       : nullptr;
    if (folder)
      throw BuildError(r_.At(t, r_.Bool(t, "font").value_or(false) ? "font" : "destination"),
                       fmt::format("a per-user product cannot install to {}", folder));
    if (item.flags & f::kFlagShared)
      throw BuildError(r_.At(t, "shared"),
                       "a per-user product cannot count shared files: the count is kept for the whole machine");
  }

  void ReadVersion(const toml::table& t, FileItem& item) {
    VersionInfo info;
    bool fromFile = ReadVersionInfo(ReadBytes(item.source, r_.At(t, "source")), &info);
    if (auto v = r_.String(t, "version")) {
      auto n = ParseVersion(*v);
      if (!n) throw BuildError(r_.At(t, "version"), kVersionForm);
      info.versionMS = (uint32_t{(*n)[0]} << 16) | (*n)[1];
      info.versionLS = (uint32_t{(*n)[2]} << 16) | (*n)[3];
    } else if (!fromFile && (item.flags & f::kFlagVersionCheck)) {
      throw BuildError(r_.At(t, "version_check"),
                       fmt::format("\"{}\" has no version resource; give \"version\"", Utf8(item.source)));
    }
    if (auto v = r_.Integer(t, "language", 0, 0xFFFF)) {
      info.language = static_cast<uint32_t>(*v);
    } else if (!fromFile && (item.flags & f::kFlagLanguageCheck)) {
      throw BuildError(r_.At(t, "language_check"),
                       fmt::format("\"{}\" has no version resource; give \"language\"", Utf8(item.source)));
    }
    item.hasVersion = true;
    item.versionMS = info.versionMS;
    item.versionLS = info.versionLS;
    item.language = info.language;
  }

  static std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    return folder.back() == '\\' ? folder + name : folder + "\\" + name;
  }

  // A shortcut's name is what people read ("Product 2.0"): it gets ".lnk"
  // unless it ends in a shortcut's own extension already.
  static std::string LinkName(std::string name) {
    std::string tail = FoldCase(name.size() >= 4 ? name.substr(name.size() - 4) : "");
    if (tail != ".lnk" && tail != ".pif" && tail != ".url") name += ".lnk";
    return name;
  }

  // Files of a source: one file, a folder (recursively), or a wildcard in the last
  // component. Relative names use backslashes; the order is stable.
  std::vector<std::pair<fs::path, std::string>> FindSources(const toml::table& t, const std::string& source) {
    Where where = r_.At(t, "source");
    fs::path full = Source(source);
    std::vector<std::pair<fs::path, std::string>> out;
    std::error_code ec;
    if (HasWildcard(Utf8(full.filename()))) {
      fs::path dir = full.parent_path();
      if (HasWildcard(Utf8(dir))) throw BuildError(where, "wildcards are allowed in the last part of a source only");
      if (dir.empty()) dir = ".";  // a project named without its folder
      if (!fs::is_directory(dir, ec))
        throw BuildError(where, fmt::format("no file matches \"{}\": folder \"{}\" does not exist", source, Utf8(dir)));
      std::string pattern = Utf8(full.filename());
      for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file() && Match(pattern, Utf8(e.path().filename())))
          out.emplace_back(e.path(), Utf8(e.path().filename()));
      if (out.empty()) throw BuildError(where, fmt::format("no file matches \"{}\"", source));
    } else if (fs::is_directory(full, ec)) {
      for (const auto& e : fs::recursive_directory_iterator(full))
        if (e.is_regular_file()) out.emplace_back(e.path(), Backslashes(GenericUtf8(fs::relative(e.path(), full))));
      if (out.empty()) throw BuildError(where, fmt::format("folder \"{}\" holds no files", source));
    } else if (fs::is_regular_file(full, ec)) {
      out.emplace_back(full, Utf8(full.filename()));
    } else if (std::string problem = NotAFile(full); !problem.empty()) {
      throw BuildError(where, fmt::format("source \"{}\" {}", source, problem));
    } else {
      throw BuildError(where, fmt::format("source file \"{}\" does not exist", source));
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return out;
  }

  // Authors on Windows write "bin\\app.exe".
  fs::path Source(std::string path) const {
    std::replace(path.begin(), path.end(), '\\', '/');
    return project_.folder / PathFromUtf8(path);
  }

  // A file the build reads besides the sources, which no output may replace.
  fs::path Input(const std::string& path) { return project_.inputs.emplace_back(Source(path)); }

  void CheckPath(const std::string& path, PathRule rule, const Where& where, std::string_view what) const {
    std::string problem = PathProblem(path, rule);
    if (!problem.empty()) throw BuildError(where, fmt::format("{} \"{}\" {}", what, path, problem));
  }

  Defines defines_;
  TomlReader r_;
  Project project_;
  InstallTypeConfig base_;
  // The uninstaller's own removals, serialised once their texts are converted.
  struct ExtraSection {
    Where where;
    uint16_t id;
    uint32_t root;
    std::string text[3];
  };
  std::vector<ExtraSection> extraSections_;
  const toml::table *productTable_ = nullptr, *background_ = nullptr;
  Where codePageWhere_;
  Where uninstallerWhere_, productWhere_;
};

}  // namespace

Project LoadProject(const fs::path& file, const Defines& defines) {
  if (std::string problem = NotAFile(file); !problem.empty())
    throw BuildError(Where{Utf8(file), 0}, fmt::format("the project file {}", problem));
  if (!fs::is_regular_file(file)) throw BuildError(Where{Utf8(file), 0}, "project file not found");
  return Loader(file, defines).Load();
}

}  // namespace wrenly::builder
