#include "builder/package_writer.h"

#include <fmt/format.h>
#include <zlib.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>

#include "builder/compress.h"
#include "builder/output_files.h"
#include "builder/records.h"
#include "builder/shared_data.h"
#include "builder/theme.h"
#include "builder/utf8_path.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "format/settings.h"
#include "format/stub_resources.h"
#include "format/writer.h"

namespace wrenly::builder {
namespace f = wrenly::format;
namespace fs = std::filesystem;

namespace {

// Payloads at least this large are stored compressed when that saves bytes.
constexpr size_t kCompressBlocksFrom = 64;

constexpr uint64_t kU32Max = 0xFFFFFFFFull;

// A block's payload as a compressed stream and its method: zlib, or LZMA
// where the package holds LZMA already and it comes out smaller, since the
// image then decodes it anyway.
std::pair<uint8_t, std::vector<uint8_t>> CompressBlockPayload(const std::vector<uint8_t>& payload, bool lzma) {
  std::vector<uint8_t> zlib = CompressZlib(payload, 9);
  if (lzma) {
    std::vector<uint8_t> whole =
        CompressLzmaWhole(payload, TakesX86Filter(payload) ? f::kLzmaFilterX86 : f::kLzmaFilterNone, 9);
    if (whole.size() < zlib.size()) return {f::kMethodLzma, std::move(whole)};
  }
  return {f::kMethodZlib, std::move(zlib)};
}

void WriteBlock(f::ByteWriter& w, uint16_t id, const std::vector<uint8_t>& payload, bool lzma,
                bool mayCompress = true) {
  if (payload.size() + f::compressed_payload::kHeadSize > kU32Max)
    throw BuildError(fmt::format("block {} would be {} bytes; a block length is 32-bit", id, payload.size()));
  if (mayCompress && payload.size() >= kCompressBlocksFrom) {
    auto [method, stream] = CompressBlockPayload(payload, lzma);
    if (stream.size() + f::compressed_payload::kHeadSize < payload.size()) {
      w.U16(id);
      w.U16(f::kBlockCompressed);
      w.U32(static_cast<uint32_t>(stream.size() + f::compressed_payload::kHeadSize));
      w.U32(static_cast<uint32_t>(payload.size()));
      w.U8(method);
      w.Bytes(stream);
      return;
    }
  }
  w.U16(id);
  w.U16(0);
  w.U32(static_cast<uint32_t>(payload.size()));
  w.Bytes(payload);
}

// The methods of the compressed payloads among `blocks`, as WriteBlock wrote them.
uint32_t BlockMethods(const std::vector<uint8_t>& blocks) {
  uint32_t methods = 0;
  for (size_t at = 0; at + f::block_header::kSize <= blocks.size();) {
    const uint8_t* h = &blocks[at];
    size_t payload = at + f::block_header::kSize;
    if ((f::LoadU16(h + f::block_header::kFlags) & f::kBlockCompressed) &&
        payload + f::compressed_payload::kHeadSize <= blocks.size())
      methods |= f::MethodBit(blocks[payload + f::compressed_payload::kMethod]);
    at = payload + f::LoadU32(h + f::block_header::kLength);
  }
  return methods;
}

// Files of at most this size go through bzip2 in one piece on any core; larger
// ones are streamed on the writing thread, as bzip2 streams made apart cannot
// be joined.
constexpr uint64_t kBzip2InOnePiece = 4 << 20;

struct Job {
  const FileItem* item;
  uint64_t size = 0;
  size_t copy = 0;  // the job whose stored data this entry points at; its own index when it stores a copy
  // How its data is stored: bzip2 data too large for one piece that would not shrink goes as zlib.
  Compression method = Compression::kZlib;
  size_t pieces = 0;
  uint32_t adler = 1;
  StoredData shown{};
  EntryData data{};
  std::array<uint8_t, f::lzma_stream::kHeadSize> lzmaHead{};  // LZMA: the stream's head
  bool lzmaStored = false;                                    // streamed as stored chunks: it would not shrink
};

struct Piece {
  size_t job;
  uint64_t at = 0, length = 0;
  bool first = false, last = false;
  bool streamed = false;      // bzip2 or LZMA on the writing thread
  uint8_t method = 0;         // the entry's method byte, when first
  bool packed = true;         // false: stored blocks
  std::vector<uint8_t> in{};  // the dictionary, then the piece
  size_t dictionary = 0;
  std::vector<uint8_t> out{};
  uint32_t adler = 1;
};

uint64_t InputSize(const FileItem& item) {
  if (item.source.empty()) return item.content.size();
  std::error_code ec;
  uint64_t size = fs::file_size(item.source, ec);
  if (ec) throw BuildError(item.where, fmt::format("cannot read \"{}\" ({})", Utf8(item.source), ec.message()));
  return size;
}

void ReadInput(const FileItem& item, uint64_t at, size_t n, std::vector<uint8_t>& into) {
  into.resize(n);
  if (item.source.empty()) {
    std::copy_n(item.content.begin() + static_cast<ptrdiff_t>(at), n, into.begin());
    return;
  }
  std::ifstream in(item.source, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(at));
  in.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(n));
  if (!in || static_cast<size_t>(in.gcount()) != n)
    throw BuildError(item.where,
                     fmt::format("\"{}\" could not be read, or changed during the build", Utf8(item.source)));
}

// What the LZMA encoders at work may allocate together. Two with 4 MiB
// dictionaries fit; one with 8 MiB runs beside small ones only. Requests are
// served in order, so the writing thread's large one is not passed over.
class MemoryBudget {
 public:
  static constexpr size_t kLimit = 112u << 20;

  void Acquire(size_t bytes) {
    std::unique_lock lock(m_);
    uint64_t ticket = nextTicket_++;
    // One request larger than the whole still runs, alone.
    cv_.wait(lock, [&] { return ticket == serving_ && (used_ == 0 || used_ + bytes <= kLimit); });
    used_ += bytes;
    ++serving_;
    cv_.notify_all();
  }
  void Release(size_t bytes) {
    {
      std::lock_guard lock(m_);
      used_ -= bytes;
    }
    cv_.notify_all();
  }

  // Held for a scope; released however it ends.
  class Hold {
   public:
    Hold(MemoryBudget& budget, size_t bytes) : budget_(budget), bytes_(bytes) { budget_.Acquire(bytes_); }
    ~Hold() { budget_.Release(bytes_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    MemoryBudget& budget_;
    size_t bytes_;
  };

 private:
  std::mutex m_;
  std::condition_variable cv_;
  size_t used_ = 0;
  uint64_t nextTicket_ = 0, serving_ = 0;
};

// A file too large for one bzip2 piece is judged by a few stretches spread
// over it, as a piece is judged by samples.
bool WorthDeflatingFile(const FileItem& item, uint64_t size) {
  constexpr size_t kStretch = 64 * 1024, kStretches = 4;
  std::vector<uint8_t> sample, stretch;
  for (size_t i = 0; i < kStretches; ++i) {
    ReadInput(item, (size - kStretch) / (kStretches - 1) * i, kStretch, stretch);
    sample.insert(sample.end(), stretch.begin(), stretch.end());
  }
  return WorthDeflating(sample);
}

// A file too large to hold goes through one encoder, read a part at a time:
// each part is checksummed as given, then filtered with the 4 bytes after it.
// One that would not shrink goes into stored chunks instead.
template <typename Input, typename Store, typename Report>
void StreamLzma(Job& j, MemoryBudget& budget, Input& input, Store& store, Report& report) {
  const FileItem& item = *j.item;
  uint8_t dictionary = j.lzmaHead[f::lzma_stream::kDictionary];
  bool filter = j.lzmaHead[f::lzma_stream::kFilter] == f::kLzmaFilterX86;
  constexpr size_t kPart = 1 << 20;
  std::vector<uint8_t> part;
  if (j.lzmaStored) {
    for (uint64_t at = 0; at < j.size;) {
      ThrowIfInterrupted();
      size_t length = static_cast<size_t>(std::min<uint64_t>(kPart, j.size - at));
      ReadInput(item, at, length, part);
      input(std::span<const uint8_t>(part));
      std::vector<uint8_t> chunks = StoredLzmaChunks(part, at == 0, at + length == j.size);
      store(chunks.data(), chunks.size());
      at += length;
      report();
    }
    return;
  }
  MemoryBudget::Hold hold(budget, LzmaEncoderMemory(dictionary) + 2 * kPart);
  X86Carry carry;
  uint64_t at = 0;
  size_t taken = 0, length = 0;
  auto read = [&](uint8_t* to, size_t capacity) -> size_t {
    if (taken == length) {
      if (at == j.size) return 0;
      ThrowIfInterrupted();
      length = static_cast<size_t>(std::min<uint64_t>(kPart, j.size - at));
      ReadInput(item, at, static_cast<size_t>(std::min<uint64_t>(length + 4, j.size - at)), part);
      input(std::span<const uint8_t>(part.data(), length));
      if (filter) FilterX86(part, at, length, carry);
      at += length, taken = 0;
      report();
    }
    size_t n = std::min(capacity, length - taken);
    std::copy_n(part.begin() + static_cast<ptrdiff_t>(taken), n, to);
    taken += n;
    return n;
  };
  CompressLzmaStream(dictionary, item.level, j.size, read,
                     [&](std::span<const uint8_t> s) { store(s.data(), s.size()); });
}

// The file table of `type`, whose entries are `jobs` from `first` on.
std::vector<uint8_t> BuildFileTable(const InstallTypeConfig& type, const std::vector<Job>& jobs, size_t first) {
  f::ByteWriter table;
  table.U32(static_cast<uint32_t>(type.files.size()));
  for (size_t k = 0; k < type.files.size(); ++k) table.Bytes(BuildFileEntry(type.files[k], jobs[first + k].data));
  return table.bytes();
}

void Put(std::FILE* out, const void* data, size_t n) {
  if (n && std::fwrite(data, 1, n, out) != n)
    throw BuildError(fmt::format("writing the setup program failed ({})", std::strerror(errno)), Failure::Output);
}

}  // namespace

fs::path VolumePath(const fs::path& setup, int number) {
  fs::path p = setup;
  std::string suffix = fmt::format(".D{:02d}", number);
  if (Utf8(p.filename()).find('.') == std::string::npos) return p += suffix;
  return p.replace_extension(suffix);
}

PackageCounts WritePackage(const Project& project, std::span<const StubImage> stubs, const PackageOutput& out,
                           const PackageProgress& progress, unsigned threads) {
  for (const StubImage& image : stubs) {
    std::string name = image.path.empty() ? "the Installer stub" : Utf8(image.path);
    if (image.bytes.size() > f::kMaxStubSize)
      throw BuildError(fmt::format("{} is {} bytes; at most {} fit before the signature window ends", name,
                                   image.bytes.size(), f::kMaxStubSize));
    // The Installer takes the first signature it finds; one inside the stub
    // would hide the package.
    for (size_t p = f::kSignatureMinOffset; p + f::kSignatureSize <= image.bytes.size(); ++p)
      if (f::IsSignatureAt(&image.bytes[p]))
        throw BuildError(
            fmt::format("{} holds the package signature itself at offset {}; "
                        "the Installer would take it for the start of the package",
                        name, p));
  }
  uint32_t methods = 0;

  // Every entry of every type, in table order; each copy lies in the DataArea
  // in the order of the first entry that stores it, back to back.
  std::vector<Job> jobs;
  std::vector<Piece> pieces;
  std::vector<uint64_t> sizes;
  for (const auto& type : project.types)
    for (const auto& item : type.files) {
      Job& j = jobs.emplace_back(Job{&item});
      if (!(item.flags & (f::kFlagFolder | f::kFlagSourceFolder))) j.size = InputSize(item);
      if (j.size > kU32Max)
        throw BuildError(item.where, fmt::format("\"{}\" is {} bytes; a file in a package must be smaller than 4 GiB "
                                                 "({} bytes), as its size is stored in 32 bits",
                                                 Utf8(item.source), j.size, kU32Max + 1));
      sizes.push_back(j.size);
    }
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  std::vector<size_t> copyOf = FindSharedCopies(project, sizes, project.volumeSize != 0, threads);
  size_t copies = 0;
  uint64_t toStore = 0;
  for (size_t n = 0; n < jobs.size(); ++n) {
    Job& j = jobs[n];
    const FileItem& item = *j.item;
    j.copy = copyOf[n];
    if (j.copy != n || (item.flags & (f::kFlagFolder | f::kFlagSourceFolder))) continue;
    ++copies, toStore += j.size;
    j.method = item.compression;
    if (j.method == Compression::kBzip2 && j.size > kBzip2InOnePiece && !WorthDeflatingFile(item, j.size))
      j.method = Compression::kZlib;
    uint64_t step = j.method == Compression::kZlib ? kZlibPiece : std::max<uint64_t>(j.size, 1);
    if (j.method == Compression::kLzma) {
      std::vector<uint8_t> head;
      ReadInput(item, 0, static_cast<size_t>(std::min<uint64_t>(j.size, 4096)), head);
      j.lzmaHead = {TakesX86Filter(head) ? f::kLzmaFilterX86 : f::kLzmaFilterNone, LzmaDictionaryProperty(j.size)};
      // A large file that would not shrink skips the encoder's slowest search.
      j.lzmaStored = j.size > kLzmaInMemory && !WorthDeflatingFile(item, j.size);
      if (j.lzmaStored) j.lzmaHead[f::lzma_stream::kFilter] = f::kLzmaFilterNone;
    }
    uint64_t at = 0;
    do {
      Piece& p = pieces.emplace_back(Piece{n, at, std::min(step, j.size - at)});
      p.first = at == 0;
      at += p.length;
      p.last = at == j.size;
      p.streamed = (j.method == Compression::kBzip2 && j.size > kBzip2InOnePiece) ||
                   (j.method == Compression::kLzma && j.size > kLzmaInMemory);
      p.method = static_cast<uint8_t>(j.method);
      ++j.pieces;
    } while (at < j.size);
  }
  if (progress.start) progress.start(copies, toStore);
  MemoryBudget budget;
  bool lzma = std::any_of(jobs.begin(), jobs.end(), [](const Job& j) { return j.method == Compression::kLzma; });
#ifdef __GLIBC__
  // Buffers of megabytes come and go on every core; once glibc has raised its
  // mmap threshold to their size it keeps them in each thread's arena.
  mallopt(M_MMAP_THRESHOLD, 256 << 10);
#endif

  std::FILE* data = out.scratch;
  uint64_t dataSize = 0, bytesIn = 0;
  size_t entriesDone = 0;
  Job* current = nullptr;
  // An entry that shares a copy comes after the one that stores it.
  auto reportStored = [&](size_t upTo) {
    for (; entriesDone < upTo; ++entriesDone) {
      Job& j = jobs[entriesDone];
      const Job& copy = jobs[j.copy];
      if (j.copy != entriesDone) {
        j.data = copy.data;
        j.shown = copy.shown;
        j.shown.copyOf = copy.item;
      }
      if (progress.stored) progress.stored(*j.item, j.shown);
    }
  };
  auto reportBytes = [&] {
    if (progress.bytes) progress.bytes(bytesIn);
  };
  auto store = [&](const void* bytes, size_t n) {
    current->shown.stored += n;
    if (dataSize + n > kU32Max)
      throw BuildError(current->item->where,
                       fmt::format("the compressed data passes 4 GiB at \"{}\": offsets in a package are 32-bit, "
                                   "also across volumes; leave some files out of this package",
                                   current->item->items[f::kItemName]));
    Put(data, bytes, n);
    dataSize += n;
  };
  auto input = [&](std::span<const uint8_t> bytes) {
    current->data.checksum = f::UpdateFileChecksum(current->data.checksum, bytes.data(), bytes.size());
    bytesIn += bytes.size();
  };
  ParallelForOrdered(
      pieces.size(), threads,
      [&](size_t i) {
        ThrowIfInterrupted();
        Piece& p = pieces[i];
        Job& j = jobs[p.job];
        const FileItem& item = *j.item;
        if (p.streamed) return;
        if (j.method == Compression::kLzma) {
          uint8_t dictionary = j.lzmaHead[f::lzma_stream::kDictionary];
          MemoryBudget::Hold hold(budget, LzmaEncoderMemory(dictionary) + 2 * static_cast<size_t>(p.length));
          ReadInput(item, 0, static_cast<size_t>(p.length), p.in);
          // The checksum is of the bytes as given, before the filter changes them.
          j.data.checksum = f::UpdateFileChecksum(j.data.checksum, p.in.data(), p.in.size());
          // Moved in: only the output waits for its turn to be written.
          p.out = CompressLzma(std::move(p.in), j.lzmaHead[f::lzma_stream::kFilter], dictionary, item.level);
          return;
        }
        p.dictionary = static_cast<size_t>(std::min<uint64_t>(p.at, kZlibWindow));
        ReadInput(item, p.at - p.dictionary, static_cast<size_t>(p.length) + p.dictionary, p.in);
        std::span<const uint8_t> bytes(p.in.data() + p.dictionary, static_cast<size_t>(p.length));
        bool worth = WorthDeflating(bytes);
        if (j.method == Compression::kBzip2 && worth) {
          p.out = CompressBzip2(bytes, 9);
          return;
        }
        // Every Installer holds zlib: bzip2 data that would not shrink is stored as zlib.
        p.method = f::kMethodZlib;
        p.packed = worth;
        p.out = worth ? CompressZlibPiece({p.in.data(), p.dictionary}, bytes, p.last, item.level)
                      : StoreZlibPiece(bytes, p.first, p.last);
        p.adler = static_cast<uint32_t>(adler32(1, bytes.data(), static_cast<uInt>(bytes.size())));
      },
      [&](size_t i) {
        ThrowIfInterrupted();
        Piece& p = pieces[i];
        Job& j = jobs[p.job];
        current = &j;
        const FileItem& item = *j.item;
        if (p.first) {
          j.data.offset = static_cast<uint32_t>(dataSize);
          j.shown.method = static_cast<Compression>(p.method);
          j.shown.packed = false;
          store(&p.method, 1);
          methods |= f::MethodBit(p.method);
          if (p.method == f::kMethodLzma) store(j.lzmaHead.data(), j.lzmaHead.size());
        }
        if (p.streamed && p.method == f::kMethodLzma) {
          j.shown.packed = true;
          StreamLzma(j, budget, input, store, reportBytes);
        } else if (p.streamed) {
          j.shown.packed = true;
          Bzip2Stream bz;
          std::vector<uint8_t> buffer;
          for (uint64_t at = 0; at < j.size;) {
            ThrowIfInterrupted();
            size_t n = static_cast<size_t>(std::min<uint64_t>(kZlibPiece, j.size - at));
            ReadInput(item, at, n, buffer);
            input(buffer);
            at += n;
            bz.Add(buffer, at == j.size, [&](std::span<const uint8_t> s) { store(s.data(), s.size()); });
            reportBytes();
          }
        } else if (p.method == f::kMethodLzma) {
          j.shown.packed = true;
          bytesIn += p.length;  // its checksum was taken before the filter
          store(p.out.data(), p.out.size());
        } else {
          j.shown.packed |= p.packed;
          input({p.in.data() + p.dictionary, static_cast<size_t>(p.length)});
          store(p.out.data(), p.out.size());
          if (p.method == f::kMethodZlib && j.pieces > 1) {
            auto length = static_cast<z_off_t>(p.length);
            j.adler = p.first ? p.adler : static_cast<uint32_t>(adler32_combine(j.adler, p.adler, length));
            if (p.last) {
              std::vector<uint8_t> trailer;
              AppendAdlerTrailer(trailer, j.adler);
              store(trailer.data(), trailer.size());
            }
          }
        }
        std::vector<uint8_t>().swap(p.in);
        std::vector<uint8_t>().swap(p.out);
        if (p.last) {
          j.data.size = static_cast<uint32_t>(j.size);
          j.data.storedLength = static_cast<uint32_t>(j.shown.stored);
          j.shown.size = j.size;
          reportStored(p.job + 1);
        }
        reportBytes();
      },
      // An LZMA piece's output may be as large as the piece: fewer wait.
      lzma ? threads + 1 : 2 * threads + 2);
  reportStored(jobs.size());

  // The blocks first: the stub that goes before them depends on their methods too.
  f::ByteWriter w;
  ThemeOptions theme;
  theme.flags = project.bitmapPlacement;
  if (project.fullscreen) theme.flags |= f::kSetBackgroundMode | f::kSetMaximised;
  if (project.gradient) theme.flags |= f::kSetGradient;
  theme.topColour = project.topColour;
  theme.bottomColour = project.bottomColour;
  bool lzmaBlocks = methods & f::kStubHasLzma;
  auto block = [&](uint16_t id, const std::vector<uint8_t>& payload, bool mayCompress = true) {
    WriteBlock(w, id, payload, lzmaBlocks, mayCompress);
  };
  block(f::kBlockSetupSettings, BuildSetupSettings(theme));
  block(f::kBlockBitmapTable, BuildBitmapTable({project.sideBitmap, project.headerBitmap}));
  if (!project.variants.empty()) {
    block(f::kBlockBackgroundVariants, BuildVariantList(project.variants));
    for (const auto& v : project.variants) block(f::kBlockBackgroundBitmap, v.bmpFile);
  }
  if (!project.title.empty()) {
    std::vector<uint8_t> text(project.title.begin(), project.title.end());
    text.push_back(0);
    block(f::kBlockTitleText, text);
    block(f::kBlockTitleStyle, BuildTitleStyle(project.titleStyle));
  }
  if (!project.uninstallerImage.empty()) block(f::kBlockUninstallerImage, project.uninstallerImage);
  if (!project.version.empty() || !project.publisher.empty() || !project.url.empty())
    block(f::kBlockProductDetails, BuildProductDetails(project));
  block(f::kBlockProductIdentity, BuildProductIdentity(project));
  if (project.singlePage >= 0) {
    std::vector<uint8_t> single(f::single_page::kSize);
    f::StoreU16(single.data() + f::single_page::kPageKind, static_cast<uint16_t>(project.singlePage));
    f::StoreU16(single.data() + f::single_page::kInitialType, static_cast<uint16_t>(project.initialType));
    block(f::kBlockSinglePage, single, false);
  }

  size_t next = 0;
  for (const auto& type : project.types) {
    block(f::kBlockInstallType, BuildInstallTypeRecord(project, type));
    std::vector<uint8_t> sections = BuildUninstallSections(project, type);
    if (!sections.empty()) block(f::kBlockUninstallSections, sections);
    block(f::kBlockFileTable, BuildFileTable(type, jobs, next));
    next += type.files.size();
  }

  methods |= BlockMethods(w.bytes());
  std::optional<size_t> chosen = ChooseStub(methods, stubs);
  if (!chosen) throw BuildError(NoStubText(methods, stubs));
  const std::vector<uint8_t>& stub = stubs[*chosen].bytes;
  f::ByteWriter head;
  head.Bytes(stub);
  if (head.size() < f::kSignatureMinOffset) head.Zeros(f::kSignatureMinOffset - head.size());
  head.Bytes(f::kSignature, f::kSignatureSize);
  head.Bytes(w.bytes());
  w = std::move(head);

  // The DataArea, cut into volumes when a volume size is set.
  uint64_t headSize = w.size() + f::block_header::kSize + f::kEndBlockSizeField;
  uint64_t firstPart = dataSize;
  uint64_t volumeCapacity = 0;
  if (project.volumeSize) {
    if (headSize >= project.volumeSize)
      throw BuildError(Where{Utf8(project.file), 0},
                       fmt::format("volume_size {} is too small: the setup program alone needs {} bytes",
                                   project.volumeSize, headSize + 1));
    if (project.volumeSize <= f::kVolumeCountField)
      throw BuildError(Where{Utf8(project.file), 0}, "volume_size must be larger than 4 bytes");
    firstPart = std::min<uint64_t>(dataSize, project.volumeSize - headSize);
    volumeCapacity = project.volumeSize - f::kVolumeCountField;
  }
  // The Installer seeks in its own file with 32-bit offsets.
  if (headSize + firstPart > kU32Max)
    throw BuildError(Where{Utf8(project.file), 0},
                     fmt::format("the setup program would be {} bytes, past the 4 GiB that can be read in one file; "
                                 "set volume_size to put the data into volumes",
                                 headSize + firstPart));
  w.U16(f::kBlockEnd);
  w.U16(0);
  w.U32(static_cast<uint32_t>(firstPart));
  w.U32(static_cast<uint32_t>(firstPart));

  PackageCounts counts;
  counts.stub = *chosen;
  counts.methods = methods;
  counts.setupBytes = w.size() + firstPart;
  counts.outputBytes = counts.setupBytes;
  Put(out.setup, w.bytes().data(), w.size());
  if (std::fflush(data) != 0 || std::fseek(data, 0, SEEK_SET) != 0)
    throw BuildError(fmt::format("the compressed data could not be read back ({})", std::strerror(errno)),
                     Failure::Output);
  std::vector<uint8_t> buffer(1 << 20);
  std::FILE* part = out.setup;
  uint64_t room = firstPart, left = dataSize;
  while (left > 0) {
    ThrowIfInterrupted();
    if (room == 0) {
      part = out.volume(static_cast<int>(++counts.volumes));
      room = std::min<uint64_t>(left, volumeCapacity);
      uint8_t count[f::kVolumeCountField];
      f::StoreU32(count, static_cast<uint32_t>(room));
      Put(part, count, sizeof count);
      counts.outputBytes += sizeof count;
    }
    size_t n = static_cast<size_t>(std::min<uint64_t>({room, left, buffer.size()}));
    if (std::fread(buffer.data(), 1, n, data) != n)
      throw BuildError(fmt::format("the compressed data could not be read back ({})", std::strerror(errno)),
                       Failure::Output);
    Put(part, buffer.data(), n);
    if (part != out.setup) counts.outputBytes += n;
    room -= n;
    left -= n;
  }
  return counts;
}

PackageImage AssemblePackage(const Project& project, const std::vector<uint8_t>& stub, const PackageProgress& progress,
                             unsigned threads) {
  std::vector<std::unique_ptr<std::FILE, int (*)(std::FILE*)>> files;
  auto open = [&] {
    std::FILE* file = std::tmpfile();
    if (!file) throw BuildError("cannot create a temporary file", Failure::Output);
    files.emplace_back(file, std::fclose);
    return file;
  };
  PackageOutput out{open(), open(), [&](int) { return open(); }};
  StubImage given{{}, stub, kAnyMethod};
  WritePackage(project, {&given, 1}, out, progress, threads);
  PackageImage image;
  for (size_t i = 0; i < files.size(); ++i) {
    if (i == 1) continue;  // the DataArea scratch
    std::FILE* file = files[i].get();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) throw BuildError("cannot read back");
    (i == 0 ? image.setup : image.volumes.emplace_back()) = std::move(bytes);
  }
  return image;
}

void WritePackageFiles(const fs::path& output, const PackageImage& image) {
  OutputFiles files({});
  WriteOut(files.Create(output), image.setup.data(), image.setup.size(), output);
  for (size_t i = 0; i < image.volumes.size(); ++i) {
    fs::path path = VolumePath(output, static_cast<int>(i + 1));
    WriteOut(files.Create(path), image.volumes[i].data(), image.volumes[i].size(), path);
  }
  files.Commit();
}

}  // namespace wrenly::builder
