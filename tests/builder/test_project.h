// A scratch folder with a project file and its sources, for building real
// packages in tests.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>

namespace wrenly::builder::test {

class ScratchProject {
 public:
  ScratchProject() {
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("wrenly-bld-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    Write("stub.exe", std::string(3000, 'S'));
  }
  ~ScratchProject() { std::filesystem::remove_all(dir_); }

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path Path(const std::string& name) const { return dir_ / name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(Path(name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  // Incompressible bytes, the same for the same seed.
  static std::string Noise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, 0);
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
  }
  std::filesystem::path Project(const std::string& toml) const {
    Write("project.toml", toml);
    return Path("project.toml");
  }

 private:
  std::filesystem::path dir_;
};

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace wrenly::builder::test
