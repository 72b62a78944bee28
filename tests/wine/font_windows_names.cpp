// wrenly-font-windows-names IN.ttf OUT.ttf: a copy of a TrueType font whose
// name table keeps only its Windows-platform records, for the Installer's
// font naming (which reads the Macintosh full name) to meet a font without
// one. The records' strings stay where they are; only the record list and
// its count change.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Big16(const std::vector<uint8_t>& b, size_t at) { return (b[at] << 8) | b[at + 1]; }
uint32_t Big32(const std::vector<uint8_t>& b, size_t at) { return (Big16(b, at) << 16) | Big16(b, at + 2); }
void PutBig16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v >> 8);
  b[at + 1] = static_cast<uint8_t>(v);
}

constexpr uint32_t kWindowsPlatform = 3;
constexpr size_t kRecordSize = 12;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: wrenly-font-windows-names IN.ttf OUT.ttf\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<uint8_t> font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (font.size() < 12) {
    std::fprintf(stderr, "%s: not a font\n", argv[1]);
    return 1;
  }
  size_t tables = Big16(font, 4), name = 0;
  for (size_t i = 0; i < tables && 12 + 16 * (i + 1) <= font.size(); ++i)
    if (std::memcmp(font.data() + 12 + 16 * i, "name", 4) == 0) name = Big32(font, 12 + 16 * i + 8);
  if (!name || name + 6 > font.size()) {
    std::fprintf(stderr, "%s: no name table\n", argv[1]);
    return 1;
  }
  size_t count = Big16(font, name + 2), records = name + 6;
  if (records + count * kRecordSize > font.size()) {
    std::fprintf(stderr, "%s: name table runs past the file\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> kept;
  for (size_t i = 0; i < count; ++i) {
    size_t at = records + i * kRecordSize;
    if (Big16(font, at) == kWindowsPlatform) kept.insert(kept.end(), font.begin() + at, font.begin() + at + kRecordSize);
  }
  if (kept.empty() || kept.size() == count * kRecordSize) {
    std::fprintf(stderr, "%s: needs Windows records and others\n", argv[1]);
    return 1;
  }
  std::copy(kept.begin(), kept.end(), font.begin() + records);
  std::fill(font.begin() + records + kept.size(), font.begin() + records + count * kRecordSize, 0);
  PutBig16(font, name + 2, static_cast<uint32_t>(kept.size() / kRecordSize));
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
  return out ? 0 : 1;
}
