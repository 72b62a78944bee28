// Packages are built from projects and read back with the inspector, which
// refuses whatever the Installer would refuse.
#include "reader/package.h"

#include <Bra.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "builder/compress.h"
#include "builder/package_writer.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/stub_resources.h"
#include "reader/reader.h"
#include "test_project.h"

namespace wrenly::builder {
namespace {
namespace in = wrenly::inspector;

// `wrenly inspect --verify`: the printout of a package whose every entry decodes to its size and checksum.
std::string Inspected(const std::filesystem::path& setup) {
  std::ostringstream out, err;
  EXPECT_EQ(in::Inspect(setup, {.verify = true, .maxTextChars = 0}, out, err), 0) << err.str();
  return out.str();
}

const char* kTwoTypes = R"(
uninstaller = { file = "bin/remove.exe", texts = { title = "Take RT \u00e4way", running = "" } }
texts = { "7/31" = "broken" }
install_type = [
  { name = "Full", pages = ["welcome", "destination", "ready", "progress", "finish"], texts = { "0/2" = "Full welcome" } },
  { name = "Small", folder = "#parent#", pages = ["welcome", "progress", "finish"], no_progress_page = true }]
[product]
name = "Round Trip"
version = "1.2.3"
publisher = "Wr\u00e9n Labs"
url = "https://rt.example"
folder = "#Program Files#\\Round Trip"
register_uninstall = true
folder_registry = { root = "HKCU", key = "Software\\RT", value = "Dir" }
[[files]]
source = "docs/"
folder = "help"
types = ["Full"]
[[files]]
source = "app.bin"
compression = "bzip2"
shared = true
destination = "system"
start_menu = { groups = ["RT", "RT\\Tools"], name = "App 2.0", args = "-x" }
desktop = { name = "App.lnk", all_users = true }
run = { when = "after-wizard", args = "#InstallDir#", wait = true }
[[files]]
source = "app.bin"
name = "copy.bin"
destination = "#Windows#\\Extra"
read_only = true
only_if_missing = true
[[files]]
source = "app.bin"
name = "more.bin"
destination = "#INSTALLDIR#\\Extra\\More"
types = ["Small"]
)";

TEST(RoundTrip, TheInspectorFindsTheProjectInInstallerOrder) {
  test::ScratchProject scratch;
  scratch.Write("docs/b.txt", "second doc");
  scratch.Write("docs/a.txt", "first doc");
  scratch.Write("docs/sub/c.txt", std::string(5000, 'c'));
  scratch.Write("app.bin", Noise(70000, 1) + std::string(30000, 'z'));
  auto setup = scratch.Build(kTwoTypes);
  std::string text = Inspected(setup);
  size_t at = 0;
  // Blocks in the Installer's order; a layout for every page kind a project can list; each type's own pages;
  // every subfolder's folder entry, parents first, before the first file in it.
  for (const char* line :
       {"5173 SetupSettings", "5174 BitmapTable", "5183 UninstallerImage", "5376 ProductDetails",
        "5377 ProductIdentity", "5182 InstallType", "5189 UninstallSections", "5178 FileTable", "5182 InstallType",
        "5189 UninstallSections", "5178 FileTable", "32639 EndBlock", "layout welcome", "layout information",
        "layout agreement", "layout destination", "layout ready", "layout progress", "layout finish",
        "product identity: architecture x86, scope machine, id \"\" (the product name), flags 0x0000 (none)",
        // type 1
        "install type 1", "options 0x0026 (folder-editable, folder-in-registry, register-uninstall); more 0x00000000",
        "product \"Round Trip\", type name \"Full\"", "default folder \"#Program Files#\\Round Trip\"",
        "folder value: HKEY_CURRENT_USER\\Software\\RT value \"Dir\"",
        "pages: welcome, destination, ready, progress, finish\n", "0/2 \"Full welcome\"", "7/0 \"Round Trip Setup\"",
        "7/31 \"broken\"", "8/1 \"&Next >\"", "[0] \"bin\\\" -> install", "(folder)", "[1] \"bin\\remove.exe\"",
        "options uninstaller", "[2] \"help\\\"", "(folder)", "[3] \"help\\a.txt\" -> install", "[4] \"help\\b.txt\"",
        "[5] \"help\\sub\\\"", "(folder)", "[6] \"help\\sub\\c.txt\"", "[7] \"app.bin\" -> system", "bzip2",
        "flags 0x13800400 (shared, all-users-desktop), options none",
        "start menu: \"RT;RT\\Tools\" / \"App 2.0.lnk\" args \"-x\"", "desktop: \"App.lnk\"",
        "run: after wizard, wait, args \"#InstallDir#\"", "[8] \"copy.bin\" -> custom \"#Windows#\\Extra\"",
        "flags 0x00000040 (only-if-missing), options read-only",
        // type 2
        "install type 2", "more 0x00000020 (no-progress-page)", "type name \"Small\"", "default folder \"#parent#\"",
        "pages: welcome, progress, finish\n", "7/31 \"broken\"", "[0] \"bin\\\"", "[1] \"bin\\remove.exe\"",
        "[2] \"app.bin\"", "[3] \"copy.bin\"", "[4] \"Extra\\\"", "[5] \"Extra\\More\\\"", "[6] \"more.bin\" -> custom",
        "verify: 10 entries decoded, 0 with problems"}) {
    size_t next = text.find(line, at);
    if (next == std::string::npos) ADD_FAILURE() << "missing or out of order: " << line;
    else at = next + 1;
  }
  EXPECT_EQ(text.find("Full welcome"), text.rfind("Full welcome"));  // a type's texts are its own
  in::Package pkg = in::ReadPackage(setup);
  // The project names no uninstaller program: the build's own goes in.
  EXPECT_EQ(pkg.uninstaller, ToBytes(ReadAll(scratch.Path("uninstaller.exe"))));
  // Its data: nine texts, its place first, the author's over the defaults (an empty one too).
  std::ostringstream quiet;
  ASSERT_EQ(in::Extract(setup, scratch.Path("out"), 1, quiet, quiet), 0);
  std::string data = ReadAll(scratch.Path("out/install/bin/remove.exe")).substr(pkg.uninstaller->size());
  EXPECT_EQ(data.substr(8, 32), std::string("\x09\0\x0e\0bin\\remove.exe\x0c\0Take RT \xE4way", 32));
  EXPECT_NE(data.find("Round Trip"), std::string::npos);
  EXPECT_EQ(data.substr(data.size() - 10, 2), std::string(2, '\0'));
  auto details =
      std::find_if(pkg.blocks.begin(), pkg.blocks.end(), [](auto& b) { return b.id == format::kBlockProductDetails; });
  ASSERT_NE(details, pkg.blocks.end());
  EXPECT_EQ(ReadAll(setup).substr(details->offset + 8, details->length),
            std::string("\x05\0"
                        "1.2.3\x09\0Wr\xE9n Labs\x12\0https://rt.example",
                        38));
  std::string sections(pkg.types[0].sections->begin(), pkg.types[0].sections->end());
  // A 32-bit product's record as before: no product section; the uninstall
  // key in the machine's hive.
  EXPECT_FALSE(sections.starts_with("\x43\x12"));
  EXPECT_NE(sections.find("\2\0\0\0\x3E\0Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Round Trip"),
            std::string::npos);
  EXPECT_NE(sections.find("Software\\RT"), std::string::npos);
  EXPECT_EQ(ReadAll(setup), ReadAll(scratch.Build(kTwoTypes, "again.exe")));  // reproducible
}

// A per-user product: its identity, ahead of every record's sections too, its
// uninstall key in the user's hive, and both programs asking for no elevation.
TEST(Scope, PerUserKeyIdentityAndManifests) {
  test::ScratchProject scratch;
  scratch.Write("stub.exe", test::ProgramAsking("requireAdministrator"));
  scratch.Write("uninstaller.exe", test::ProgramAsking("requireAdministrator"));
  auto setup = scratch.Build(test::kProduct +
                             "register_uninstall = true\nscope = \"user\"\narchitecture = \"x64\"\nid = \"Acme.P\"\n"
                             "allow_downgrade = true\n");
  in::Package pkg = in::ReadPackage(setup);
  const std::string identity("\1\1\1\0\6\0Acme.P", 12),
      key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme.P";
  ASSERT_EQ(*pkg.identity, ToBytes(identity));
  std::string sections(pkg.types[0].sections->begin(), pkg.types[0].sections->end());
  EXPECT_TRUE(sections.starts_with(std::string("\x43\x12\0\0\x0C\0\0\0", 8) + identity));
  EXPECT_NE(sections.find(std::string("\1\0\0\0", 4) + char(key.size()) + '\0' + key), std::string::npos);
  for (const Bytes& program : {ToBytes(ReadAll(setup)), *pkg.uninstaller}) {
    std::string manifest;
    for (const Resource& r : ReadResources(program))
      if (r.type == kResourceManifest) manifest.assign(r.data.begin(), r.data.end());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  }
}

// A higher level stores a compressible file in fewer bytes, set package-wide or per entry.
TEST(Compression, TheLevelTakesEffect) {
  test::ScratchProject scratch;
  std::string text;
  for (unsigned i = 0; text.size() < 100000; ++i) text += std::to_string(i * 7919 % 5000) + (i % 7 ? " " : "\n");
  scratch.Write("text.txt", text);
  auto stored = [&](const std::string& setup, const std::string& file) {
    std::string toml = "setup = {" + setup + "}\nfiles = [{ source = \"text.txt\"" + file + " }]\n" + test::kProduct;
    return in::ReadPackage(scratch.Build(toml)).types[0].entries[0].storedLength;
  };
  EXPECT_LT(stored("level = 9", ""), stored("level = 1", ""));
  EXPECT_LT(stored("level = 1", ", level = 9"), stored("level = 1", ""));  // the entry's own level wins
}

// A Windows program of `size` bytes for the x86 filter: calls and jumps whose
// targets lie near, in a repeated run of noise (quick to compress).
std::string Program(size_t size) {
  std::string s = test::Stub(0x200), noise = Noise(4099, 9);
  while (s.size() < size) s += noise;
  for (size_t at = 0x200; at + 5 < size; at += 7 + static_cast<uint8_t>(s[at]) % 23)
    s.replace(at, 5, {char(0xE8 + (s[at + 1] & 1)), s[at + 2], s[at + 3], 0, char((s[at + 4] & 1) ? 0xFF : 0)});
  return s.substr(0, size);
}

// LZMA comes back whole, held or streamed in parts (a program through the x86
// filter across its parts); its dictionary no larger than the file needs.
TEST(Compression, LzmaReadsBackWhole) {
  test::ScratchProject scratch;
  std::string program = test::ProgramAsking("");  // a stub that decodes LZMA
  std::vector<uint8_t> stub =
      WithResources(ToBytes(program), {Resource{10, format::kStubMethodsResource, 0x409, {7, 0, 0, 0}}});  // RT_RCDATA
  scratch.Write("stub.exe", {stub.begin(), stub.end()});
  std::string text;
  for (unsigned i = 0; text.size() < (9u << 19); ++i) text += std::to_string(i * 7919 % 100003) + (i % 9 ? " " : "\n");
  scratch.Write("big.txt", text + Noise(70000, 3));
  scratch.Write("empty.bin", ""), scratch.Write("noise.bin", Noise(300000, 5));
  // Streamed in parts, the last shorter than the filter looks ahead.
  scratch.Write("app.exe", Program(kLzmaDictionary + 3));
  // Too large to hold and would not shrink: stored chunks over several parts, unfiltered.
  scratch.Write("packed.exe", test::Stub(0x200) + Noise(kLzmaInMemory + 70000, 11));
  struct Case {
    const char *method, *source;
    uint8_t filter, dictionary;  // LZMA's head
  } cases[] = {{"lzma", "big.txt", 0, 21},
               {"lzma", "empty.bin", 0, 0},
               {"lzma", "noise.bin", 0, 13},
               {"lzma", "app.exe", 1, 22},
               {"lzma", "packed.exe", 0, 21}};
  for (const Case& c : cases) {
    std::string out = std::string(c.method) + "-" + c.source;
    auto setup = scratch.Build(test::kProduct + "[[files]]\nsource = \"" + c.source + "\"\ncompression = \"" +
                               c.method + "\"\nlevel = 1\n");
    std::ostringstream quiet;
    ASSERT_EQ(in::Extract(setup, scratch.Path(out), 0, quiet, quiet), 0) << out;
    EXPECT_EQ(ReadAll(scratch.Path(out + "/install/" + c.source)), ReadAll(scratch.Path(c.source))) << out;
    in::Package pkg = in::ReadPackage(setup);
    const format::FileEntryView& e = pkg.types[0].entries[0];
    std::string head = ReadAll(setup).substr(pkg.parts[0].fileOffset + e.dataOffset, 3);
    EXPECT_EQ(head, (std::string{char(format::kMethodLzma), char(c.filter), char(c.dictionary)})) << out;
    EXPECT_LT(e.storedLength, e.size + e.size / 1000 + 16) << out;  // what does not compress is stored
  }
}

// The filter run a piece at a time gives what one run over the whole file gives.
TEST(Compression, X86FilterInPiecesIsTheWholeFilter) {
  std::string program = Program(20000);
  std::vector<uint8_t> whole(program.begin(), program.end());
  uint32_t state = 0;
  z7_BranchConvSt_X86_Enc(whole.data(), whole.size(), 0, &state);
  for (size_t piece : {1, 3, 4, 5, 7, 64, 4095, 19998}) {
    std::vector<uint8_t> bytes(program.begin(), program.end());
    X86Carry carry;
    for (size_t at = 0; at < bytes.size(); at += piece) {
      size_t length = std::min(piece, bytes.size() - at);
      FilterX86({bytes.data() + at, std::min(length + 4, bytes.size() - at)}, at, length, carry);
    }
    EXPECT_EQ(bytes, whole) << piece;
  }
}

// Every way of storing data reads back whole (zlib pieces deflated and stored in one stream, bzip2 whole
// and streamed); what would not shrink goes into stored blocks, bzip2's too: the bytes and their framing at
// most (6 bytes a stream, 5 a block of up to 65,535 bytes, one more for each 1 MiB piece).
TEST(Compression, EveryWayReadsBackWhole) {
  test::ScratchProject scratch;
  std::string text;
  for (unsigned i = 0; text.size() < (9u << 19); ++i) text += std::to_string(i * 7919 % 100003) + (i % 9 ? " " : "\n");
  std::string mixed = text.substr(0, 2 << 20) + Noise(2 << 20, 3) + text.substr(2 << 20);
  for (auto [method, data, stored] : {std::tuple{"zlib", mixed, false},
                                      {"bzip2", mixed, false},
                                      {"zlib", Noise(200000, 1), true},
                                      {"zlib", Noise(3 << 20, 2), true},
                                      {"bzip2", Noise(200000, 3), true},
                                      {"bzip2", Noise(5 << 20, 4), true}}) {
    scratch.Write("data.bin", data);
    auto setup = scratch.Build(test::kProduct + "[[files]]\nsource = \"data.bin\"\ncompression = \"" + method + "\"\n");
    uint64_t size = data.size(), length = in::ReadPackage(setup).types[0].entries[0].storedLength;
    EXPECT_TRUE(!stored || length <= 1 + size + 6 + 5 * (size / 65535 + size / (1 << 20) + 1)) << method << size;
    std::ostringstream quiet;
    ASSERT_EQ(in::Extract(setup, scratch.Path("out"), 0, quiet, quiet), 0);
    EXPECT_TRUE(ReadAll(scratch.Path("out/install/data.bin")) == data) << method << " " << size;
  }
}

// Entries with the same bytes point at one stored copy, back to back, whatever their type, name or
// source (the uninstaller's data too); each type still installs its own files whole. Every volume but
// the last is exactly volume_size bytes; a type reads its copies front to back: the Installer never goes back.
TEST(SharedData, EachContentIsStoredOnce) {
  test::ScratchProject scratch;
  scratch.Write("a.bin", Noise(50000, 1)), scratch.Write("same.bin", Noise(50000, 1));
  scratch.Write("b.bin", Noise(50000, 2)), scratch.Write("text.txt", std::string(60000, 't'));
  struct Case {
    const char* what;
    std::vector<std::array<std::string, 3>> files;  // source, name, options
    size_t copies;
    unsigned volumeSize = 0;
  } cases[] = {
      {"three types over the same files", {{"a.bin", "a.bin"}, {"text.txt", "text.txt"}}, 2},
      {"the same bytes from another source", {{"a.bin", "a.bin"}, {"same.bin", "same.bin"}}, 1},
      {"the same size, other bytes", {{"a.bin", "a.bin"}, {"b.bin", "b.bin"}}, 2},
      {"another level or method",
       {{"text.txt", "6.txt"}, {"text.txt", "9.txt", "level = 9"}, {"text.txt", "bz.txt", "compression = \"bzip2\""}},
       3},
      {"a type going back", {{"a.bin", "a.bin"}, {"b.bin", "b.bin"}, {"a.bin", "again.bin"}}, 2},
      {"a type going back, in volumes", {{"a.bin", "a.bin"}, {"b.bin", "b.bin"}, {"a.bin", "again.bin"}}, 3, 40000},
      {"three types over the same files, in volumes", {{"a.bin", "a.bin"}, {"text.txt", "text.txt"}}, 2, 30000},
  };
  for (const Case& c : cases) {
    std::string toml =
        test::kProduct + "register_uninstall = true\n[setup]\nvolume_size = " + std::to_string(c.volumeSize) + "\n";
    for (const char* type : {"One", "Two", "Three"}) toml += "[[install_type]]\nname = \"" + std::string(type) + "\"\n";
    for (const auto& [source, name, options] : c.files)
      toml += "[[files]]\nsource = \"" + source + "\"\nname = \"" + name + "\"\n" + options + "\n";
    auto setup = scratch.Build(toml, std::string(c.what) + ".exe");
    in::Package pkg = in::ReadPackage(setup);
    EXPECT_EQ(pkg.endLengthField, pkg.parts[0].size);
    for (size_t v = 0; v < pkg.parts.size(); ++v) {
      uint64_t size = std::filesystem::file_size(pkg.parts[v].path);
      EXPECT_EQ(size, pkg.parts[v].fileOffset + pkg.parts[v].size) << c.what << v;
      EXPECT_TRUE(v + 1 == pkg.parts.size() ? size <= c.volumeSize || !c.volumeSize : size == c.volumeSize)
          << c.what << v;
    }
    std::map<uint32_t, uint32_t> copies;
    for (size_t t = 0; t < pkg.types.size(); ++t) {
      uint64_t end = 0;  // of the copy read before
      for (const auto& e : pkg.types[t].entries) {
        copies[e.dataOffset] = e.storedLength;
        EXPECT_TRUE(!c.volumeSize || e.dataOffset >= end) << c.what << ": " << e.strings[0];
        end = e.dataOffset + e.storedLength;
      }
      std::ostringstream quiet;
      auto out = scratch.Path(std::string(c.what) + std::to_string(t));
      ASSERT_EQ(in::Extract(setup, out, t, quiet, quiet), 0) << c.what;
      for (const auto& [source, name, options] : c.files)
        EXPECT_EQ(ReadAll(out / "install" / name), ReadAll(scratch.Path(source))) << c.what << ": " << name;
    }
    EXPECT_EQ(copies.size(), c.copies + 1) << c.what;
    uint64_t stored = 0;
    for (auto [offset, length] : copies) EXPECT_EQ(offset, std::exchange(stored, stored + length)) << c.what;
    EXPECT_EQ(stored, pkg.DataAreaSize()) << c.what;
  }
}

}  // namespace
}  // namespace wrenly::builder
