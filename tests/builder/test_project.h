// A scratch folder with a stub, sources and a project file, for building real packages.
#pragma once
#include <fstream>
#include <sstream>

#include "builder/build.h"
#include "builder/pe_resources.h"
#include "package_writer.h"

namespace wrenly::builder::test {

inline const std::string kProduct = "[product]\nname = \"P\"\n";

// The least of a Windows program the build takes as a stub: "MZ", the PE
// header at 0x40 with its machine, the subsystem; 'S' up to `size` bytes.
inline std::string Stub(size_t size = 3000, uint16_t machine = 0x14C, uint16_t subsystem = 2) {
  std::string s(std::max<size_t>(size, 0x9E), 'S');
  s.replace(0, 2, "MZ");
  s.replace(0x3C, 10, std::string("\x40\0\0\0PE\0\0", 8) + char(machine) + char(machine >> 8));
  s.replace(0x9C, 2, {char(subsystem), char(subsystem >> 8)});
  return s;
}

// A Windows program whose manifest asks for `level` (""; it has none).
inline std::string ProgramAsking(const std::string& level) {
  std::string manifest = "<requestedExecutionLevel level=\"" + level + "\" uiAccess=\"false\"/>";
  std::vector<Resource> resources{{kResourceVersion, 1, 0x409, {1, 2}}};
  if (!level.empty()) resources.push_back({kResourceManifest, 1, 0x409, {manifest.begin(), manifest.end()}});
  Bytes image = SmallProgram(resources);
  return {image.begin(), image.end()};
}

class ScratchProject {
 public:
  ScratchProject() { Write("stub.exe", Stub()), Write("uninstaller.exe", "MZ uninstaller"); }
  ~ScratchProject() { std::filesystem::remove_all(dir_); }  // one at a time

  std::filesystem::path Path(const std::string& name) const { return dir_ / name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(Path(name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  // Builds `toml` with stub.exe; returns the setup program. Throws BuildError.
  std::filesystem::path Build(const std::string& toml, const std::string& out = "setup.exe") const {
    Write("project.toml", toml);
    std::ostringstream log;
    builder::Build({.project = Path("project.toml"),
                    .output = Path(out),
                    .stub = Path("stub.exe"),
                    .uninstaller = Path("uninstaller.exe"),
                    .quiet = true},
                   log);
    return Path(out);
  }

 private:
  std::filesystem::path dir_ = EmptyScratch();
};

}  // namespace wrenly::builder::test
