// Writes a deterministic corpus of mixed files for the benchmarks: text that
// compresses well, structured binary that compresses somewhat, and random
// bytes that do not compress at all.
//   make_corpus DIR MEGABYTES [LARGE_MEGABYTES]
// LARGE_MEGABYTES adds large.bin of that size, the same mix in 1 MiB runs,
// written a run at a time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kWords[] = {"install",  "folder",  "package", "volume", "setup",   "registry", "shortcut",
                              "progress", "version", "shared",  "font",   "restart", "the",      "a",
                              "of",       "and",     "to",      "with",   "file",    "data"};

std::vector<char> TextFile(std::mt19937& rng, size_t size) {
  std::vector<char> out;
  out.reserve(size);
  std::uniform_int_distribution<int> word(0, std::size(kWords) - 1), len(4, 14);
  unsigned line = 0;
  while (out.size() < size) {
    std::string l = "[" + std::to_string(line++) + "] ";
    for (int i = len(rng); i > 0; --i) (l += kWords[word(rng)]) += ' ';
    l += '\n';
    out.insert(out.end(), l.begin(), l.end());
  }
  out.resize(size);
  return out;
}

std::vector<char> StructuredFile(std::mt19937& rng, size_t size) {
  std::vector<char> out(size);
  std::uniform_int_distribution<int> small(0, 15);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i % 64 < 32) ? (i * 7 & 0xFF) : small(rng));
  return out;
}

std::vector<char> RandomFile(std::mt19937& rng, size_t size) {
  std::vector<char> out(size);
  for (size_t i = 0; i < size; i += 4) {
    uint32_t v = rng();
    for (size_t k = 0; k < 4 && i + k < size; ++k) out[i + k] = static_cast<char>(v >> (8 * k));
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: make_corpus DIR MEGABYTES [LARGE_MEGABYTES]\n");
    return 2;
  }
  std::filesystem::path dir = argv[1];
  const size_t total = static_cast<size_t>(std::atof(argv[2]) * 1024 * 1024);
  std::filesystem::create_directories(dir);
  std::mt19937 rng(20261206);
  std::uniform_int_distribution<size_t> fileSize(16 * 1024, 4 * 1024 * 1024);
  size_t written = 0;
  for (int n = 0; written < total; ++n) {
    size_t size = std::min(fileSize(rng), total - written);
    std::vector<char> bytes;
    const char* ext;
    switch (n % 3) {
      case 0:
        bytes = TextFile(rng, size);
        ext = ".txt";
        break;
      case 1:
        bytes = StructuredFile(rng, size);
        ext = ".dat";
        break;
      default:
        bytes = RandomFile(rng, size);
        ext = ".bin";
        break;
    }
    char name[32];
    std::snprintf(name, sizeof name, "file%04d%s", n, ext);
    std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    written += size;
  }
  if (argc == 4) {
    std::ofstream large(dir / "large.bin", std::ios::binary);
    const size_t runs = static_cast<size_t>(std::atof(argv[3])), run = 1 << 20;
    for (size_t n = 0; n < runs; ++n) {
      // Mostly text and structured runs, one random in five.
      std::vector<char> bytes = n % 5 == 4 ? RandomFile(rng, run)
                                : n % 2    ? StructuredFile(rng, run)
                                           : TextFile(rng, run);
      large.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    if (!large) return 1;
  }
  return 0;
}
