#include "builder/pe_resources.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "builder/error.h"
#include "format/bytes.h"

namespace wrenly::builder {
namespace {

using format::LoadU16;
using format::LoadU32;
using format::StoreU16;
using format::StoreU32;

constexpr uint32_t kResourceDirectory = 2, kRelocationDirectory = 5;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kSubdirectory = 0x80000000u, kNamed = 0x80000000u;
constexpr size_t kMaxResources = 4096;  // a stub has a dozen

uint32_t AlignUp(uint32_t v, uint32_t a) { return (v + a - 1) / a * a; }

struct Section {
  uint32_t header;  // file offset of its header
  uint32_t virtualSize, va, rawSize, raw;
};

// Where the headers' fields are, checked against the bytes once.
struct PeLayout {
  const std::vector<uint8_t>& image;
  uint32_t optional = 0, directories = 0, directoryCount = 0;
  std::vector<Section> sections;

  explicit PeLayout(const std::vector<uint8_t>& bytes) : image(bytes) {
    auto fail = [] { throw BuildError("the stub is not a Windows program the builder can add its resources to"); };
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') fail();
    uint32_t pe = LoadU32(&image[0x3C]);
    if (pe > image.size() - 24 || std::memcmp(&image[pe], "PE\0\0", 4) != 0) fail();
    uint32_t count = LoadU16(&image[pe + 6]), optionalSize = LoadU16(&image[pe + 20]);
    optional = pe + 24;
    // 64-bit sums: inspect hands this any file, whose fields may be anything.
    if (uint64_t{optional} + optionalSize + uint64_t{count} * kSectionHeaderSize > image.size() || optionalSize < 96)
      fail();
    bool plus = LoadU16(&image[optional]) == 0x20B;
    if (plus && optionalSize < 112) fail();
    directories = optional + (plus ? 112 : 96);
    directoryCount = LoadU32(&image[optional + (plus ? 108 : 92)]);
    if (directoryCount <= kRelocationDirectory ||
        directories + uint64_t{directoryCount} * 8 > uint64_t{optional} + optionalSize)
      fail();
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t h = optional + optionalSize + i * kSectionHeaderSize;
      Section s{h, LoadU32(&image[h + 8]), LoadU32(&image[h + 12]), LoadU32(&image[h + 16]), LoadU32(&image[h + 20])};
      if (s.raw > image.size() || s.rawSize > image.size() - s.raw) fail();
      sections.push_back(s);
    }
  }
  uint32_t Directory(uint32_t index) const { return LoadU32(&image[directories + 8 * index]); }
  uint32_t DirectorySize(uint32_t index) const { return LoadU32(&image[directories + 8 * index + 4]); }
  uint32_t SectionAlignment() const { return LoadU32(&image[optional + 32]); }
  uint32_t FileAlignment() const { return LoadU32(&image[optional + 36]); }
  int SectionOf(uint32_t rva) const {
    for (size_t i = 0; i < sections.size(); ++i)
      if (rva >= sections[i].va && rva - sections[i].va < std::max(sections[i].virtualSize, sections[i].rawSize))
        return static_cast<int>(i);
    return -1;
  }
};

void Malformed() { throw BuildError("the stub's resources are damaged: the builder cannot add the product's"); }

// Entries of one directory level: (number, offset) pairs, numbered only.
std::vector<std::pair<uint32_t, uint32_t>> Entries(const uint8_t* rsrc, uint32_t size, uint32_t at) {
  if (at > size || size - at < 16) Malformed();
  uint32_t named = LoadU16(rsrc + at + 12), ids = LoadU16(rsrc + at + 14);
  if ((named + ids) * 8 > size - at - 16) Malformed();
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (uint32_t i = 0; i < named + ids; ++i) {
    uint32_t name = LoadU32(rsrc + at + 16 + 8 * i), offset = LoadU32(rsrc + at + 20 + 8 * i);
    if (name & kNamed) throw BuildError("the stub has resources named by text: the builder cannot rebuild them");
    out.emplace_back(name, offset);
  }
  return out;
}

// The resource section as it is laid out: directories, then data entries,
// then the data, each on an 8-byte boundary.
std::vector<uint8_t> ResourceSection(std::vector<Resource> resources, uint32_t sectionRva) {
  std::sort(resources.begin(), resources.end(), [](const Resource& a, const Resource& b) {
    return std::tie(a.type, a.id, a.language) < std::tie(b.type, b.id, b.language);
  });
  std::vector<uint32_t> types;
  for (const auto& r : resources)
    if (types.empty() || types.back() != r.type) types.push_back(r.type);
  // Sizes first: the root, a directory per type, per name, then the leaves.
  uint32_t directoriesSize = 16 + 8 * static_cast<uint32_t>(types.size());
  for (size_t i = 0; i < resources.size(); ++i) {
    bool newType = i == 0 || resources[i].type != resources[i - 1].type;
    bool newName = newType || resources[i].id != resources[i - 1].id;
    if (newType) directoriesSize += 16;
    if (newName) directoriesSize += 8 + 16;  // its entry in the type's directory, its own directory
    directoriesSize += 8;                    // its entry in the name's directory
  }
  uint32_t leaves = AlignUp(directoriesSize, 8), dataAt = leaves + 16 * static_cast<uint32_t>(resources.size());
  std::vector<uint8_t> out(dataAt);
  auto directory = [&](uint32_t at, uint32_t ids) { StoreU16(&out[at + 14], static_cast<uint16_t>(ids)); };
  uint32_t next = 16 + 8 * static_cast<uint32_t>(types.size());  // the next free directory
  directory(0, static_cast<uint32_t>(types.size()));
  size_t i = 0;
  for (size_t t = 0; t < types.size(); ++t) {
    uint32_t typeDir = next;
    StoreU32(&out[16 + 8 * t], types[t]), StoreU32(&out[20 + 8 * t], typeDir | kSubdirectory);
    size_t first = i;
    std::vector<uint32_t> names;
    for (size_t k = i; k < resources.size() && resources[k].type == types[t]; ++k)
      if (names.empty() || names.back() != resources[k].id) names.push_back(resources[k].id);
    directory(typeDir, static_cast<uint32_t>(names.size()));
    next = typeDir + 16 + 8 * static_cast<uint32_t>(names.size());
    for (size_t n = 0; n < names.size(); ++n) {
      uint32_t nameDir = next;
      StoreU32(&out[typeDir + 16 + 8 * n], names[n]), StoreU32(&out[typeDir + 20 + 8 * n], nameDir | kSubdirectory);
      size_t languages = 0;
      while (first + languages < resources.size() && resources[first + languages].type == types[t] &&
             resources[first + languages].id == names[n])
        ++languages;
      directory(nameDir, static_cast<uint32_t>(languages));
      next = nameDir + 16 + 8 * static_cast<uint32_t>(languages);
      for (size_t l = 0; l < languages; ++l, ++i) {
        const Resource& r = resources[i];
        uint32_t leaf = leaves + 16 * static_cast<uint32_t>(i);
        StoreU32(&out[nameDir + 16 + 8 * l], r.language), StoreU32(&out[nameDir + 20 + 8 * l], leaf);
        uint32_t at = AlignUp(static_cast<uint32_t>(out.size()), 8);
        out.resize(at);
        out.insert(out.end(), r.data.begin(), r.data.end());
        StoreU32(&out[leaf], sectionRva + at), StoreU32(&out[leaf + 4], static_cast<uint32_t>(r.data.size()));
        StoreU32(&out[leaf + 8], r.codePage);
      }
      first = i;
    }
  }
  return out;
}

// The checksum the PE format defines: 16-bit words summed with their carries
// folded in, the checksum field itself counted as zero, plus the length.
uint32_t PeChecksum(const std::vector<uint8_t>& image, uint32_t checksumAt) {
  uint64_t sum = 0;
  for (size_t i = 0; i + 1 < image.size() + 1; i += 2) {
    if (i == checksumAt || i == checksumAt + 2) continue;
    uint32_t word = image[i] | (i + 1 < image.size() ? image[i + 1] << 8 : 0);
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return static_cast<uint32_t>(sum + image.size());
}

}  // namespace

bool HasResources(const std::vector<uint8_t>& image) {
  try {
    return PeLayout(image).Directory(kResourceDirectory) != 0;
  } catch (const BuildError&) { return false; }
}

std::vector<Resource> ReadResources(const std::vector<uint8_t>& image) {
  PeLayout pe(image);
  uint32_t rva = pe.Directory(kResourceDirectory);
  int s = pe.SectionOf(rva);
  if (!rva) return {};
  if (s < 0) Malformed();
  const Section& section = pe.sections[s];
  // Only the bytes the file holds: a section may be longer in memory.
  if (rva - section.va >= section.rawSize) Malformed();
  const uint8_t* rsrc = image.data() + section.raw + (rva - section.va);
  uint32_t size = section.rawSize - (rva - section.va);
  std::vector<Resource> out;
  // Directories may point at each other and leaves at the same data: a
  // small file could otherwise make millions of copies.
  uint64_t copied = 0;
  for (auto [type, typeOffset] : Entries(rsrc, size, 0)) {
    if (!(typeOffset & kSubdirectory)) Malformed();
    for (auto [id, nameOffset] : Entries(rsrc, size, typeOffset & ~kSubdirectory)) {
      if (!(nameOffset & kSubdirectory)) Malformed();
      for (auto [language, leaf] : Entries(rsrc, size, nameOffset & ~kSubdirectory)) {
        if ((leaf & kSubdirectory) || leaf > size || size - leaf < 16) Malformed();
        uint32_t dataRva = LoadU32(rsrc + leaf), dataSize = LoadU32(rsrc + leaf + 4);
        if (dataRva < rva || dataRva - rva > size || dataSize > size - (dataRva - rva)) Malformed();
        const uint8_t* data = rsrc + (dataRva - rva);
        copied += dataSize;
        if (copied > size || out.size() == kMaxResources) Malformed();
        out.push_back({type, id, static_cast<uint16_t>(language), {data, data + dataSize}, LoadU32(rsrc + leaf + 8)});
      }
    }
  }
  return out;
}

std::vector<uint8_t> WithResources(const std::vector<uint8_t>& image, const std::vector<Resource>& resources) {
  PeLayout pe(image);
  int r = pe.SectionOf(pe.Directory(kResourceDirectory));
  if (r < 0 || pe.sections[r].va != pe.Directory(kResourceDirectory)) Malformed();
  // Only the relocations may follow: nothing else is known not to be
  // addressed by where it lies.
  for (size_t i = r + 1; i < pe.sections.size(); ++i)
    if (pe.Directory(kRelocationDirectory) != pe.sections[i].va)
      throw BuildError("the stub has sections after its resources: the builder cannot rebuild them");
  const uint32_t fileAlign = pe.FileAlignment(), sectionAlign = pe.SectionAlignment();
  Section rsrc = pe.sections[r];
  std::vector<uint8_t> section = ResourceSection(resources, rsrc.va);
  uint32_t end = rsrc.raw + rsrc.rawSize;
  for (size_t i = r + 1; i < pe.sections.size(); ++i) end = std::max(end, pe.sections[i].raw + pe.sections[i].rawSize);

  std::vector<uint8_t> out(image.begin(), image.begin() + rsrc.raw);
  // A section's bytes at the end of `out`, its header pointing there; the
  // next free address.
  auto place = [&](const Section& old, const uint8_t* data, uint32_t size, uint32_t virtualSize, uint32_t va) {
    uint32_t raw = static_cast<uint32_t>(out.size()), rawSize = AlignUp(size, fileAlign);
    out.insert(out.end(), data, data + size);
    out.resize(raw + rawSize);
    StoreU32(&out[old.header + 8], virtualSize), StoreU32(&out[old.header + 12], va);
    StoreU32(&out[old.header + 16], rawSize), StoreU32(&out[old.header + 20], raw);
    return AlignUp(va + std::max(size, virtualSize), sectionAlign);
  };
  uint32_t size = static_cast<uint32_t>(section.size());
  uint32_t nextVa = place(rsrc, section.data(), size, size, rsrc.va);
  StoreU32(&out[pe.directories + 8 * kResourceDirectory + 4], size);
  for (size_t i = r + 1; i < pe.sections.size(); ++i) {
    const Section& s = pe.sections[i];
    StoreU32(&out[pe.directories + 8 * kRelocationDirectory], nextVa);
    nextVa = place(s, image.data() + s.raw, s.rawSize, s.virtualSize, nextVa);
  }
  out.insert(out.end(), image.begin() + end, image.end());  // whatever followed the sections
  StoreU32(&out[pe.optional + 56], nextVa);                 // SizeOfImage
  StoreU32(&out[pe.optional + 64], PeChecksum(out, pe.optional + 64));
  return out;
}

}  // namespace wrenly::builder
