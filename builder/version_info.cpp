#include "builder/version_info.h"

#include <string>

#include "format/bytes.h"

namespace wrenly::builder {
namespace {

using format::ByteView;

constexpr uint32_t kResourceDirectory = 2;  // data directory index
constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;

struct Pe {
  ByteView file;
  uint32_t sections = 0, sectionCount = 0;

  // File offset of an RVA, or 0 when no section holds it.
  uint32_t ToOffset(uint32_t rva) const {
    for (uint32_t i = 0; i < sectionCount; ++i) {
      uint32_t s = sections + 40 * i, va, vsize, raw, rawSize;
      if (!file.U32(s + 12, &va) || !file.U32(s + 8, &vsize) || !file.U32(s + 20, &raw) || !file.U32(s + 16, &rawSize))
        return 0;
      uint32_t span = vsize > rawSize ? vsize : rawSize;
      if (rva >= va && rva - va < span) return raw + (rva - va);
    }
    return 0;
  }
};

// First entry of a resource directory, or the entry with `id` when id != 0.
bool DirectoryEntry(ByteView rsrc, uint32_t dir, uint32_t id, uint32_t* target) {
  uint16_t named, ids;
  if (!rsrc.U16(dir + 12, &named) || !rsrc.U16(dir + 14, &ids)) return false;
  for (uint32_t i = 0; i < (uint32_t)named + ids; ++i) {
    uint32_t e = dir + 16 + 8 * i, name, off;
    if (!rsrc.U32(e, &name) || !rsrc.U32(e + 4, &off)) return false;
    if (id == 0 || name == id) {
      *target = off;
      return true;
    }
  }
  return false;
}

std::u16string Key(ByteView v, uint32_t at, uint32_t* end) {
  std::u16string key;
  uint16_t c;
  while (v.U16(at, &c) && c != 0) {
    key.push_back(static_cast<char16_t>(c));
    at += 2;
  }
  *end = at + 2;
  return key;
}

uint32_t Align4(uint32_t v) { return (v + 3) & ~3u; }

// Finds VarFileInfo\Translation among the children of VS_VERSIONINFO.
uint32_t FindLanguage(ByteView v, uint32_t at, uint32_t end) {
  while (at + 6 < end) {
    uint16_t length, valueLength;
    if (!v.U16(at, &length) || !v.U16(at + 2, &valueLength) || length == 0) return 0;
    uint32_t keyEnd;
    std::u16string key = Key(v, at + 6, &keyEnd);
    uint32_t childEnd = at + length;
    if (key == u"VarFileInfo") {
      uint32_t c = Align4(keyEnd);
      while (c + 6 < childEnd) {
        uint16_t cl, cv;
        if (!v.U16(c, &cl) || !v.U16(c + 2, &cv) || cl == 0) return 0;
        uint32_t ck;
        if (Key(v, c + 6, &ck) == u"Translation" && cv >= 4) {
          uint16_t lang;
          if (v.U16(Align4(ck), &lang)) return lang;
        }
        c = Align4(c + cl);
      }
    }
    at = Align4(childEnd);
  }
  return 0;
}

}  // namespace

bool ReadVersionInfo(const std::vector<uint8_t>& image, VersionInfo* out) {
  ByteView file{image.data(), static_cast<uint32_t>(image.size())};
  uint32_t peAt, signature;
  uint16_t sectionCount, optionalSize, magic;
  if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') return false;
  if (!file.U32(0x3C, &peAt) || !file.U32(peAt, &signature) || signature != 0x00004550) return false;
  if (!file.U16(peAt + 6, &sectionCount) || !file.U16(peAt + 20, &optionalSize)) return false;
  uint32_t opt = peAt + 24;
  if (!file.U16(opt, &magic)) return false;
  uint32_t dirs = opt + (magic == 0x20B ? 112 : 96);
  uint32_t rsrcRva, rsrcSize;
  if (!file.U32(dirs + 8 * kResourceDirectory, &rsrcRva) || !file.U32(dirs + 8 * kResourceDirectory + 4, &rsrcSize))
    return false;
  if (rsrcRva == 0) return false;
  Pe pe{file, opt + optionalSize, sectionCount};
  uint32_t rsrcAt = pe.ToOffset(rsrcRva);
  if (rsrcAt == 0) return false;
  ByteView rsrc = file.Sub(rsrcAt, file.size - rsrcAt);
  uint32_t e;
  if (!DirectoryEntry(rsrc, 0, kRtVersion, &e) || !(e & 0x80000000u)) return false;
  if (!DirectoryEntry(rsrc, e & 0x7FFFFFFFu, 0, &e) || !(e & 0x80000000u)) return false;
  if (!DirectoryEntry(rsrc, e & 0x7FFFFFFFu, 0, &e) || (e & 0x80000000u)) return false;
  uint32_t dataRva, dataSize;
  if (!rsrc.U32(e, &dataRva) || !rsrc.U32(e + 4, &dataSize)) return false;
  uint32_t dataAt = pe.ToOffset(dataRva);
  if (dataAt == 0 || !file.Has(dataAt, dataSize)) return false;
  ByteView v = file.Sub(dataAt, dataSize);
  uint16_t length, valueLength;
  if (!v.U16(0, &length) || !v.U16(2, &valueLength) || length > dataSize) return false;
  uint32_t keyEnd;
  if (Key(v, 6, &keyEnd) != u"VS_VERSION_INFO") return false;
  uint32_t fixed = Align4(keyEnd), sig;
  if (valueLength < 52 || !v.U32(fixed, &sig) || sig != kFixedInfoSignature) return false;
  if (!v.U32(fixed + 8, &out->versionMS) || !v.U32(fixed + 12, &out->versionLS)) return false;
  out->language = FindLanguage(v, Align4(fixed + valueLength), length);
  return true;
}

}  // namespace wrenly::builder
