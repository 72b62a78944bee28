#include "reader/data_area.h"

#include <string>
#include <vector>

#include "format/file_entry.h"
#include "reader/damaged.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {
constexpr size_t kInChunk = 8192;
}

void DataAreaReader::Beyond(uint64_t offset) const {
  std::string msg = "DataArea offset " + std::to_string(offset) + " lies beyond its " +
                    std::to_string(pkg_.DataAreaSize()) + " bytes";
  if (!pkg_.missingVolume.empty()) msg += "; volume " + pkg_.missingVolume.string() + " is missing";
  throw Damaged(msg);
}

void DataAreaReader::Open(size_t part, uint64_t within) {
  const DataPart& p = pkg_.parts[part];
  if (part != part_) {
    in_.close();
    in_.clear();
    in_.open(p.path, std::ios::binary);
    if (!in_) throw Damaged("cannot open " + p.path.string());
    part_ = part;
  }
  in_.clear();
  in_.seekg(static_cast<std::streamoff>(p.fileOffset + within));
  left_ = p.size - within;
}

void DataAreaReader::Seek(uint64_t offset) {
  uint64_t base = 0;
  for (size_t i = 0; i < pkg_.parts.size(); ++i) {
    uint64_t size = pkg_.parts[i].size;
    if (offset < base + size) {
      Open(i, offset - base);
      offset_ = offset;
      return;
    }
    base += size;
  }
  Beyond(offset);
}

void DataAreaReader::Read(uint8_t* out, size_t n) {
  while (n > 0) {
    if (part_ == SIZE_MAX || left_ == 0) Seek(offset_);
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(n, left_));
    in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(chunk));
    if (static_cast<size_t>(in_.gcount()) != chunk)
      throw Damaged("cannot read " + pkg_.parts[part_].path.string() + " at DataArea offset " +
                    std::to_string(offset_));
    out += chunk;
    n -= chunk;
    left_ -= chunk;
    offset_ += chunk;
  }
}

EntryData DecodeEntry(DataAreaReader& reader, uint32_t offset, uint32_t storedLength, uint64_t maxSize,
                      const Sink& sink) {
  EntryData d;
  if (storedLength == 0) throw Damaged("stored length 0: no method byte");
  reader.Seek(offset);
  reader.Read(&d.method, 1);
  StreamDecoder decoder(d.method, maxSize);
  uint64_t remaining = storedLength - 1;
  if (remaining == 0) return d;  // an empty file
  std::vector<uint8_t> in(kInChunk);
  auto measure = [&](const uint8_t* p, size_t n) {
    if (n > maxSize - d.size)
      throw Damaged("the stream gives more than the entry's size of " + std::to_string(maxSize) + " bytes");
    d.size += n;
    d.checksum = wf::UpdateFileChecksum(d.checksum, p, n);
    sink(p, n);
  };
  while (remaining > 0) {
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(remaining, kInChunk));
    reader.Read(in.data(), chunk);
    remaining -= chunk;
    decoder.Feed(in.data(), chunk, measure);
  }
  if (!decoder.finished()) throw Damaged("the compressed stream ends early");
  return d;
}

uint8_t PeekMethod(const Package& pkg, uint32_t offset) {
  try {
    DataAreaReader r(pkg);
    r.Seek(offset);
    uint8_t m = 0;
    r.Read(&m, 1);
    return m;
  } catch (const Damaged&) { return 0; }
}

}  // namespace wrenly::inspector
