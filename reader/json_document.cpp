// `inspect --json`: one document with what the text shows. The problems are
// the text printers' own, found by a pass that prints nowhere, so that both
// outputs report the same; a damaged package still gives what was read.
#include <exception>
#include <sstream>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/install_type.h"
#include "reader/damaged.h"
#include "reader/data_area.h"
#include "reader/json_report.h"
#include "reader/names.h"
#include "reader/records_view.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

constexpr int kJsonFormat = 2;  // raised when a field changes meaning or goes

void Blocks(const Package& pkg, JsonWriter& json) {
  json.Key("blocks").BeginArray();
  for (const BlockInfo& b : pkg.blocks) {
    json.BeginObject();
    json.Field("offset", b.offset);
    json.Field("id", b.id);
    json.UtfField("name", BlockName(b.id));
    json.Field("flags", b.flags);
    json.Field("length", b.length);
    json.Field("compressed", b.compressed);
    if (b.compressed && b.id != wf::kBlockEnd && b.id != wf::kBlockSinglePage &&
        b.length >= wf::compressed_payload::kHeadSize) {
      json.Field("unpacked_size", b.unpackedSize);
      json.UtfField("method", MethodName(b.method));
    }
    json.EndObject();
  }
  json.EndArray();
}

void Entry(const Package& pkg, const wf::FileEntryView& e, const EntryCheck* check, JsonWriter& json) {
  uint16_t status = EntryOptions(e);
  json.BeginObject();
  json.AnsiField("name", e.strings[wf::kItemName]);
  json.UtfField("destination", DestKindName(e.kind));
  json.Field("destination_kind", e.kind);
  json.Field("name_only", e.kind == wf::kDestInstallDirFlat || e.kind == wf::kDestInstallDirFlat6);
  json.AnsiField("folder", e.kind == wf::kDestCustom ? e.strings[wf::kItemFolder] : nullptr);
  json.Field("size", e.size);
  json.Field("stored_size", e.storedLength);
  json.Field("offset", e.dataOffset);
  json.Field("has_data", HasData(e));
  json.Key("method");
  if (HasData(e) && DataPlaceProblem(pkg, e).empty()) json.Utf8(MethodName(PeekMethod(pkg, e.dataOffset)));
  else json.Null();
  json.Field("checksum", e.checksum);
  json.Field("flags", e.flags);
  json.WordsField("flag_words", EntryFlagWords(e.flags));
  json.Field("options", status);
  json.WordsField("option_words", EntryOptionWords(status));
  auto version = ReadEntryVersion(e);
  json.ObjectField("version", version.has_value(), [&] {
    json.UtfField("number", version->number);
    json.Field("language", version->language);
  });
  json.ObjectField("start_menu", *e.strings[wf::kItemMenuName], [&] {
    json.AnsiField("groups", e.strings[wf::kItemMenuGroups]);
    json.AnsiField("name", e.strings[wf::kItemMenuName]);
    json.AnsiField("arguments", e.strings[wf::kItemMenuArgs]);
  });
  json.ObjectField("desktop", *e.strings[wf::kItemDesktopName], [&] {
    json.AnsiField("name", e.strings[wf::kItemDesktopName]);
    json.AnsiField("arguments", e.strings[wf::kItemDesktopArgs]);
  });
  json.ObjectField("run", EntryRuns(e), [&] {
    json.WordsField("words", RunWords(e.flags));
    json.AnsiField("arguments", e.strings[wf::kItemRunArgs]);
  });
  if (check) {
    json.Key("verify").BeginObject();
    json.Field("sound", check->problem.empty());
    json.Key("problem");
    if (check->problem.empty()) json.Null();
    else json.Utf8(check->problem);
    json.EndObject();
  }
  json.EndObject();
}

void InstallType(const Package& pkg, size_t type, const std::vector<EntryCheck>* checks, JsonWriter& json) {
  const InstallTypeData& t = pkg.types[type];
  InstallTypeRecord r = ReadInstallType(View(t.record));
  json.BeginObject();
  json.Field("number", type + 1);
  json.Field("size", t.record.size());
  json.Field("options", r.options);
  json.WordsField("option_words", TypeOptionWords(r.options));
  json.Field("more_options", r.moreOptions);
  json.WordsField("more_option_words", TypeMoreOptionWords(r.moreOptions));
  json.AnsiField("product", r.product);
  json.AnsiField("type_name", r.typeName);
  json.AnsiField("default_folder", r.defaultFolder);
  json.ObjectField("folder_value", r.folderKey, [&] {
    json.UtfField("root", RootName(r.folderRoot));
    json.AnsiField("key", r.folderKey);
    json.AnsiField("value", r.folderValue ? r.folderValue : "");
  });
  json.ObjectField("ini", r.iniFile, [&] {
    json.AnsiField("file", r.iniFile);
    json.AnsiField("section", r.iniSection);
    json.AnsiField("key", r.iniKey);
  });
  json.Key("pages").BeginArray();
  for (uint8_t kind : r.pages) json.Utf8(PageName(kind));
  json.EndArray();
  json.Field("pages_end_mark", r.pagesEnded);
  json.Key("messages").BeginArray();
  for (const auto& texts : r.messages) {
    if (!texts) {
      json.Null();
      continue;
    }
    json.BeginArray();
    for (const char* text : *texts) json.Ansi(text);
    json.EndArray();
  }
  json.EndArray();
  json.Key("files");
  if (t.fileTable) {
    json.BeginArray();
    size_t next = 0;  // checks come in table order
    for (size_t i = 0; i < t.entries.size(); ++i) {
      while (checks && next < checks->size() &&
             ((*checks)[next].type < type || ((*checks)[next].type == type && (*checks)[next].index < i)))
        ++next;
      bool checked = checks && next < checks->size() && (*checks)[next].type == type && (*checks)[next].index == i;
      Entry(pkg, t.entries[i], checked ? &(*checks)[next] : nullptr, json);
    }
    json.EndArray();
  } else {
    json.Null();
  }
  json.Key("uninstall_sections_size");
  if (t.sections) json.Uint(t.sections->size());
  else json.Null();
  json.EndObject();
}

void DataArea(const Package& pkg, JsonWriter& json) {
  const DataPart& own = pkg.parts.front();
  uint64_t end = own.fileOffset + own.size;
  json.Key("data_area").BeginObject();
  json.Field("end_block_offset", pkg.endBlockOffset);
  json.Field("end_length_field", pkg.endLengthField);
  json.Field("offset", own.fileOffset);
  json.Field("size", own.size);
  json.Field("trailing_bytes", pkg.fileSize > end ? pkg.fileSize - end : 0);
  json.Key("volumes").BeginArray();
  for (size_t i = 1; i < pkg.parts.size(); ++i) {
    json.BeginObject();
    json.UtfField("name", pkg.parts[i].path.filename().string());
    json.Field("size", pkg.parts[i].size);
    json.EndObject();
  }
  json.EndArray();
  json.Field("total_size", pkg.DataAreaSize());
  json.EndObject();
}

void WholePackage(const Package& pkg, const InspectOptions& options, Problems& problems, JsonWriter& json) {
  std::ostream nowhere(nullptr);
  PrintLook(pkg, nowhere, problems);
  for (size_t t = 0; t < pkg.types.size(); ++t) PrintInstallType(pkg, t, options, nowhere, problems);
  std::vector<EntryCheck> checks;
  if (options.verify) {
    checks = CheckEntries(pkg);
    VerifyEntries(checks, pkg, nowhere, problems);
  }
  JsonLook(pkg, json);
  json.Key("install_types").BeginArray();
  for (size_t t = 0; t < pkg.types.size(); ++t) InstallType(pkg, t, options.verify ? &checks : nullptr, json);
  json.EndArray();
  DataArea(pkg, json);
  if (options.verify) {
    size_t bad = 0;
    for (const EntryCheck& c : checks) bad += !c.problem.empty();
    json.Key("verify").BeginObject();
    json.Field("decoded", checks.size());
    json.Field("with_problems", bad);
    json.EndObject();
  }
}

void Uninstaller(const UninstallerFacts& facts, JsonWriter& json) {
  json.Key("uninstaller").BeginObject();
  json.Field("program_size", facts.programSize);
  json.Field("records", facts.records);
  json.Key("texts").BeginArray();
  for (size_t i = 0; i < facts.texts.size(); ++i) {
    json.BeginObject();
    json.Field("index", i);
    json.Key("name");
    if (const char* name = UninstallerTextName(i)) json.Utf8(name);
    else json.Null();
    json.Key("text").Ansi(facts.texts[i]);
    json.EndObject();
  }
  json.EndArray();
  json.Key("products").BeginArray();
  for (const RecordProduct& p : facts.products) {
    json.BeginObject();
    json.Field("record", p.record + 1);
    json.UtfField("architecture", ArchitectureName(p.architecture));
    json.UtfField("scope", ScopeName(p.scope));
    json.Key("id").Ansi(p.id);
    json.Field("flags", p.flags);
    json.EndObject();
  }
  json.EndArray();
  json.Key("plan").BeginArray();
  for (const PlannedStep& s : facts.plan) {
    json.BeginObject();
    json.UtfField("kind", s.kind);
    json.Key("path").Ansi(s.path);
    if (s.value) json.Key("value").Ansi(*s.value);
    if (s.section) json.Key("section").Ansi(*s.section), json.Key("key").Ansi(*s.key);
    json.Key("refusal");
    if (s.refusal) json.Utf8(s.refusal);
    else json.Null();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

// Everything but the errors, into an open document; throws when the file
// cannot be read at all.
ReadResult Document(const std::filesystem::path& setup, const InspectOptions& options, JsonWriter& json,
                    Problems& problems) {
  if (IsInstalledUninstaller(setup)) {
    json.Field("size", std::filesystem::file_size(setup));
    json.EndObject();
    try {
      Uninstaller(ReadUninstaller(setup), json);
      return kSound;
    } catch (const Damaged& e) {
      problems.push_back(e.what());
      return kDamaged;
    }
  }
  Package pkg;
  bool read = false;
  try {
    ReadPackageInto(setup, pkg);
    read = true;
  } catch (const Damaged& e) { problems.push_back(std::string("damaged package: ") + e.what()); }
  LearnStubDecoders(pkg, options.stubDecoders);  // the image before a damaged head is still told
  json.Field("size", pkg.fileSize);
  json.EndObject();
  json.Key("package").BeginObject();
  json.Key("signature_offset");
  if (pkg.signatureOffset) json.Uint(pkg.signatureOffset);
  else json.Null();
  json.Field("stub_size", pkg.signatureOffset);
  json.Key("stub_decoders");
  if (pkg.stubDecoders) {
    json.BeginArray();
    for (const char* name : DecoderNames(*pkg.stubDecoders)) json.Utf8(name);
    json.EndArray();
  } else {
    json.Null();
  }
  Blocks(pkg, json);
  if (read) {
    problems = pkg.problems;
    CheckDecoders(pkg, problems);
    WholePackage(pkg, options, problems, json);
  }
  json.EndObject();
  return problems.empty() ? kSound : kDamaged;
}

}  // namespace

ReadResult InspectJson(const std::filesystem::path& setup, const InspectOptions& options, std::ostream& out,
                       std::ostream& err) {
  // Written whole once known: a throw halfway leaves no half document.
  std::ostringstream doc;
  Problems problems;
  ReadResult result;
  auto open = [&](JsonWriter& json) {
    json.BeginObject();
    json.Field("format", kJsonFormat);
    json.Key("file").BeginObject();
    json.UtfField("path", setup.string());
  };
  auto close = [&](JsonWriter& json) {
    json.Key("errors").BeginArray();
    for (const auto& p : problems) json.Utf8(p);
    json.EndArray();
    json.EndObject();
  };
  try {
    JsonWriter json(doc);
    open(json);
    result = Document(setup, options, json, problems);
    close(json);
  } catch (const std::exception& e) {
    doc.str("");
    problems = {e.what()};
    JsonWriter json(doc);
    open(json);
    json.EndObject();
    close(json);
    result = kUnreadable;
  }
  for (const auto& p : problems) err << "inspect: " << setup.string() << ": " << p << "\n";
  out << doc.str();
  return result;
}

}  // namespace wrenly::inspector
