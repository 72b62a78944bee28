// Walks the package head the way the Installer does and refuses, with a
// message naming the place, every block it could not read soundly.
#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "reader/damaged.h"
#include "reader/head_checks.h"
#include "reader/names.h"
#include "reader/package.h"
#include "reader/report.h"
#include "reader/stream_decoder.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;
namespace fs = std::filesystem;

namespace {

// Head payloads are settings, texts and pictures; anything claiming more is
// taken as damage rather than allocated.
constexpr uint32_t kMaxUnpackedPayload = 256u << 20;

class FileReader {
 public:
  explicit FileReader(const fs::path& path) : in_(path, std::ios::binary) {
    // Not damage: the file is simply not there or not readable.
    if (!in_) throw std::runtime_error("cannot open " + path.string());
    in_.seekg(0, std::ios::end);
    size_ = static_cast<uint64_t>(in_.tellg());
  }
  uint64_t size() const { return size_; }
  // Reads up to n bytes at offset; returns how many arrived.
  size_t ReadSome(uint64_t offset, uint8_t* out, size_t n) {
    if (offset >= size_) return 0;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n));
    return static_cast<size_t>(in_.gcount());
  }
  Bytes Read(uint64_t offset, uint32_t n, const std::string& what) {
    if (offset > size_ || n > size_ - offset)
      throw Damaged(what + " at offset " + std::to_string(offset) + " runs past the end of the file (" +
                    std::to_string(n) + " bytes needed, " + std::to_string(offset > size_ ? 0 : size_ - offset) +
                    " left)");
    Bytes b(n);
    if (ReadSome(offset, b.data(), n) != n) throw Damaged("cannot read " + what);
    return b;
  }

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
};

uint32_t FindSignature(FileReader& f) {
  uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(f.size(), wf::kScanWindow));
  Bytes window(n + 8, 0);
  size_t got = f.ReadSome(wf::kScanStart, window.data(), n);
  for (uint64_t p = wf::kSignatureMinOffset; p + wf::kSignatureSize <= wf::kScanStart + got; ++p)
    if (wf::IsSignatureAt(window.data() + (p - wf::kScanStart))) return static_cast<uint32_t>(p);
  throw Damaged("no package signature in the first " + std::to_string(wf::kSignatureEndLimit) +
                " bytes (not a setup program, or its package is missing)");
}

std::string BlockWhat(uint16_t id, uint64_t offset) {
  return "block " + std::to_string(id) + " at offset " + std::to_string(offset);
}

Bytes DecodePayload(const Bytes& raw, BlockInfo& b, const std::string& what) {
  if (!b.compressed) return raw;
  auto v = View(raw);
  if (!v.Has(0, wf::compressed_payload::kHeadSize))
    throw Damaged(what + ": compressed payload of " + std::to_string(raw.size()) +
                  " bytes has no room for its size and method");
  v.U32(wf::compressed_payload::kUnpackedSize, &b.unpackedSize);
  v.U8(wf::compressed_payload::kMethod, &b.method);
  if (b.unpackedSize > kMaxUnpackedPayload)
    throw Damaged(what + ": implausible unpacked size " + std::to_string(b.unpackedSize));
  Bytes out;
  out.reserve(std::min<uint32_t>(b.unpackedSize, 1u << 20));  // grows only with real output
  size_t streamLength = raw.size() - wf::compressed_payload::kStream;
  try {
    StreamDecoder dec(b.method, b.unpackedSize);
    dec.Feed(raw.data() + wf::compressed_payload::kStream, streamLength, [&](const uint8_t* p, size_t n) {
      if (n > b.unpackedSize - out.size())
        throw Damaged("the stream gives more than the unpacked size " + std::to_string(b.unpackedSize));
      out.insert(out.end(), p, p + n);
    });
    if (streamLength != 0 && !dec.finished()) throw Damaged("the compressed stream ends early");
  } catch (const Damaged& e) { throw Damaged(what + ": " + e.what()); }
  if (out.size() != b.unpackedSize)
    throw Damaged(what + ": the stream gives " + std::to_string(out.size()) + " bytes, the unpacked size is " +
                  std::to_string(b.unpackedSize));
  return out;
}

void StoreBlock(Package& pkg, const BlockInfo& b, Bytes payload, const std::string& what) {
  auto lastType = [&]() -> InstallTypeData& {
    if (pkg.types.empty()) throw Damaged(what + " comes before the first install type");
    return pkg.types.back();
  };
  switch (b.id) {
    case wf::kBlockSetupSettings:
      CheckSettings(View(payload));
      pkg.settings = std::move(payload);
      break;
    case wf::kBlockBitmapTable: pkg.bitmapTable = std::move(payload); break;
    case wf::kBlockBackgroundBitmap: pkg.backgrounds.push_back(std::move(payload)); break;
    case wf::kBlockTitleText: pkg.title = std::move(payload); break;
    case wf::kBlockTitleStyle: pkg.titleStyle = std::move(payload); break;
    case wf::kBlockUninstallerImage: pkg.uninstaller = std::move(payload); break;
    case wf::kBlockBackgroundVariants:
      CheckVariantList(View(payload));
      pkg.backgroundVariants = std::move(payload);
      break;
    case wf::kBlockFileTable: lastType().fileTable = std::move(payload); break;
    case wf::kBlockUninstallSections: lastType().sections = std::move(payload); break;
    case wf::kBlockSinglePage: {
      // The Installer reads these two words straight from the file.
      if (b.length < wf::single_page::kSize) throw Damaged(what + ": single-page settings shorter than 4 bytes");
      pkg.singlePageKind = wf::LoadU16(payload.data() + wf::single_page::kPageKind);
      pkg.initialType = wf::LoadU16(payload.data() + wf::single_page::kInitialType);
      break;
    }
    case wf::kBlockInstallType: {
      if (pkg.types.size() == wf::kMaxInstallTypes)
        throw Damaged(what + ": more than " + std::to_string(wf::kMaxInstallTypes) + " install types");
      CheckInstallType(View(payload), pkg.types.size());
      pkg.types.push_back(InstallTypeData{std::move(payload), {}, {}, {}});
      break;
    }
  }
}

// Only the volumes the entries reach: the Installer opens the next one only
// when it reads past the part before, so a stale .D01 beside a package that
// fits in its own file is no part of it.
void LocateVolumes(Package& pkg) {
  uint64_t reach = 0;
  for (const InstallTypeData& t : pkg.types)
    for (const wf::FileEntryView& e : t.entries)
      if (HasData(e)) reach = std::max(reach, uint64_t{e.dataOffset} + e.storedLength);
  for (int k = 1; k <= 999 && pkg.DataAreaSize() < reach; ++k) {
    fs::path vp = VolumePath(pkg.path, k);
    std::error_code ec;
    if (!fs::is_regular_file(vp, ec)) {
      pkg.missingVolume = vp;
      return;
    }
    FileReader v(vp);
    Bytes count = v.Read(0, wf::kVolumeCountField, "the byte count of " + vp.string());
    uint32_t n = wf::LoadU32(count.data());
    if (v.size() < wf::kVolumeCountField + uint64_t{n}) {
      pkg.problems.push_back(vp.string() + " holds " + std::to_string(v.size() - wf::kVolumeCountField) +
                             " data bytes, its count says " + std::to_string(n));
      n = static_cast<uint32_t>(v.size() - wf::kVolumeCountField);
    }
    pkg.parts.push_back(DataPart{vp, wf::kVolumeCountField, n});
  }
}

}  // namespace

fs::path VolumePath(const fs::path& setup, int number) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, wf::kVolumeSuffixFormat, number);
  fs::path p = setup;
  p.replace_extension();  // from the last '.' of the file name; nothing when there is none
  p += suffix;
  return p;
}

bool IsKnownBlock(uint16_t id) {
  switch (id) {
    case wf::kBlockSetupSettings:
    case wf::kBlockBitmapTable:
    case wf::kBlockBackgroundBitmap:
    case wf::kBlockTitleText:
    case wf::kBlockFileTable:
    case wf::kBlockSinglePage:
    case wf::kBlockTitleStyle:
    case wf::kBlockInstallType:
    case wf::kBlockUninstallerImage:
    case wf::kBlockBackgroundVariants:
    case wf::kBlockUninstallSections:
    case wf::kBlockProductDetails:
    case wf::kBlockProductIdentity: return true;
    default: return false;
  }
}

void LearnStubDecoders(Package& pkg,
                       const std::function<std::optional<uint32_t>(const std::vector<uint8_t>&)>& decoders) {
  if (!decoders || !pkg.signatureOffset) return;
  FileReader f(pkg.path);
  pkg.stubDecoders = decoders(f.Read(0, pkg.signatureOffset, "the Installer image"));
}

Package ReadPackage(const fs::path& setup) {
  Package pkg;
  ReadPackageInto(setup, pkg);
  return pkg;
}

void ReadPackageInto(const fs::path& setup, Package& pkg) {
  pkg.path = setup;
  FileReader f(setup);
  pkg.fileSize = f.size();
  pkg.signatureOffset = FindSignature(f);
  uint64_t at = uint64_t{pkg.signatureOffset} + wf::kSignatureSize;
  for (;;) {
    if (f.size() - at < wf::block_header::kSize)
      throw Damaged("the file ends at offset " + std::to_string(f.size()) + " before the end block (a header at " +
                    std::to_string(at) + " needs 8 bytes)");
    Bytes head = f.Read(at, wf::block_header::kSize, "block header");
    wf::BlockHeader h = wf::ParseBlockHeader(head.data());
    BlockInfo b{at, h.id, h.flags, h.length, (h.flags & wf::kBlockCompressed) != 0, 0, 0};
    uint64_t payloadAt = at + wf::block_header::kSize;
    std::string what = BlockWhat(h.id, at);
    if (h.id == wf::kBlockEnd) {
      Bytes size = f.Read(payloadAt, wf::kEndBlockSizeField, "the DataArea size of the end block");
      pkg.blocks.push_back(b);
      pkg.endBlockOffset = at;
      pkg.endLengthField = h.length;
      uint32_t dataSize = wf::LoadU32(size.data());
      uint64_t dataStart = payloadAt + wf::kEndBlockSizeField;
      if (f.size() < dataStart + dataSize)
        throw Damaged("the package is truncated: its DataArea holds " + std::to_string(f.size() - dataStart) + " of " +
                      std::to_string(dataSize) + " bytes");
      pkg.parts.push_back(DataPart{setup, dataStart, dataSize});
      break;
    }
    if (h.length > f.size() - payloadAt)
      throw Damaged(what + " runs past the end of the file (length " + std::to_string(h.length) + ", " +
                    std::to_string(f.size() - payloadAt) + " bytes left)");
    if (IsKnownBlock(h.id) && h.length != 0) {
      Bytes raw = f.Read(payloadAt, h.length, what);
      if (h.id == wf::kBlockProductDetails || h.id == wf::kBlockProductIdentity) {
        // What the product says of itself is reported, and the reading goes on without it.
        bool details = h.id == wf::kBlockProductDetails;
        try {
          (details ? pkg.details : pkg.identity) = DecodePayload(raw, b, what);
        } catch (const Damaged& e) {
          pkg.problems.push_back(std::string(e.what()) + (details ? "; the product details are left out"
                                                                  : "; the product identity is left out"));
        }
      } else {
        Bytes payload = h.id == wf::kBlockSinglePage ? raw : DecodePayload(raw, b, what);
        StoreBlock(pkg, b, std::move(payload), what);
      }
    } else if (b.compressed && h.length >= wf::compressed_payload::kHeadSize) {
      Bytes raw = f.Read(payloadAt, wf::compressed_payload::kHeadSize, what);
      b.unpackedSize = wf::LoadU32(raw.data());
      b.method = raw[wf::compressed_payload::kMethod];
    }
    pkg.blocks.push_back(b);
    at = payloadAt + h.length;
  }
  if (pkg.types.empty()) throw Damaged("the package holds no install type");
  if (pkg.initialType >= pkg.types.size())
    throw Damaged("the single-page settings name " + TypeLabel(pkg.initialType) + "; the package has " +
                  std::to_string(pkg.types.size()));
  for (size_t t = 0; t < pkg.types.size(); ++t)
    if (pkg.types[t].fileTable) pkg.types[t].entries = ParseFileTable(View(*pkg.types[t].fileTable), t);
  LocateVolumes(pkg);
}

}  // namespace wrenly::inspector
