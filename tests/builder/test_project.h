// A scratch folder with a stub, sources and a project file, for building real
// packages in tests.
#pragma once
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include "builder/build.h"

namespace wrenly::builder::test {

inline const std::string kProduct = "[product]\nname = \"P\"\n";

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Incompressible bytes, the same for the same seed.
inline std::string Noise(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, 0);
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

class ScratchProject {
 public:
  ScratchProject() { Write("stub.exe", std::string(3000, 'S')); }
  ~ScratchProject() { std::filesystem::remove_all(dir_); }

  std::filesystem::path Path(const std::string& name) const { return dir_ / name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(Path(name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  // Builds `toml` with stub.exe; returns the setup program. Throws BuildError.
  std::filesystem::path Build(const std::string& toml, const std::string& out = "setup.exe") const {
    Write("project.toml", toml);
    std::ostringstream log;
    builder::Build({.project = Path("project.toml"), .output = Path(out), .stub = Path("stub.exe"), .quiet = true}, log);
    return Path(out);
  }

 private:
  std::string name_ = (std::filesystem::temp_directory_path() / "wrenly-bld-XXXXXX").string();
  std::filesystem::path dir_ = ::mkdtemp(name_.data());
};

}  // namespace wrenly::builder::test
