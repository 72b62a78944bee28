// wrenly-plain-unpack.exe SETUP.exe OUTDIR [IN OUT]: the yardstick of the
// install benchmark. Finds a setup program's entries with the Installer's
// loader, then decompresses each entry's stream to OUTDIR\N in a plain loop
// with large buffers (1 MB, or IN and OUT bytes) and nothing else: no
// temporary names, checks or questions.
// Prints "bytes N", "elapsed-ms N" and "peak-working-set-kb N".
#include <windows.h>

#include <Lzma2Dec.h>
#include <bzlib.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "figures.h"
#include "format/container.h"
#include "format/file_entry.h"
#include "package/package.h"
#include "ui/wizard.h"

namespace wf = wrenly::format;

namespace {

DWORD inSize = 1 << 20, outSize = 1 << 20;

struct Files {
  HANDLE in;
  HANDLE out;
  std::vector<unsigned char> input = std::vector<unsigned char>(inSize);
  std::vector<unsigned char> output = std::vector<unsigned char>(outSize);
  unsigned long long written = 0;

  DWORD Read(DWORD want) {
    DWORD got = 0;
    if (!ReadFile(in, input.data(), want, &got, nullptr)) return 0;
    return got;
  }
  bool Write(DWORD n) {
    DWORD done = 0;
    written += n;
    return n == 0 || (WriteFile(out, output.data(), n, &done, nullptr) && done == n);
  }
};

bool Inflate(Files& f, DWORD left) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  int r = Z_OK;
  while (r != Z_STREAM_END && left > 0) {
    DWORD n = f.Read(left < inSize ? left : inSize);
    if (n == 0) break;
    left -= n;
    z.next_in = f.input.data();
    z.avail_in = n;
    do {
      z.next_out = f.output.data();
      z.avail_out = outSize;
      r = inflate(&z, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) {
        inflateEnd(&z);
        return false;
      }
      if (!f.Write(outSize - z.avail_out)) r = Z_STREAM_ERROR;
    } while (z.avail_out == 0 && r != Z_STREAM_END);
  }
  inflateEnd(&z);
  return r == Z_STREAM_END;
}

bool Bunzip2(Files& f, DWORD left) {
  bz_stream bz{};
  if (BZ2_bzDecompressInit(&bz, 0, 0) != BZ_OK) return false;
  int r = BZ_OK;
  while (r != BZ_STREAM_END && left > 0) {
    DWORD n = f.Read(left < inSize ? left : inSize);
    if (n == 0) break;
    left -= n;
    bz.next_in = reinterpret_cast<char*>(f.input.data());
    bz.avail_in = n;
    do {
      bz.next_out = reinterpret_cast<char*>(f.output.data());
      bz.avail_out = outSize;
      r = BZ2_bzDecompress(&bz);
      if (r != BZ_OK && r != BZ_STREAM_END) {
        BZ2_bzDecompressEnd(&bz);
        return false;
      }
      if (!f.Write(outSize - bz.avail_out)) r = BZ_IO_ERROR;
    } while (bz.avail_out == 0 && r != BZ_STREAM_END);
  }
  BZ2_bzDecompressEnd(&bz);
  return r == BZ_STREAM_END;
}

void* LzmaAlloc(ISzAllocPtr, size_t n) { return std::malloc(n); }
void LzmaFree(ISzAllocPtr, void* p) { std::free(p); }
const ISzAlloc kLzmaAlloc = {LzmaAlloc, LzmaFree};

// Straight from the decoder's dictionary to the file; streams with a filter
// are not this loop's business.
bool Unlzma(Files& f, DWORD left) {
  if (left < wf::lzma_stream::kHeadSize || f.Read(wf::lzma_stream::kHeadSize) != wf::lzma_stream::kHeadSize ||
      f.input[wf::lzma_stream::kFilter] != wf::kLzmaFilterNone)
    return false;
  left -= wf::lzma_stream::kHeadSize;
  CLzma2Dec d;
  Lzma2Dec_CONSTRUCT(&d);
  if (Lzma2Dec_Allocate(&d, f.input[wf::lzma_stream::kDictionary], &kLzmaAlloc) != SZ_OK) return false;
  Lzma2Dec_Init(&d);
  ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
  bool ok = true;
  while (ok && status != LZMA_STATUS_FINISHED_WITH_MARK && left > 0) {
    DWORD n = f.Read(left < inSize ? left : inSize);
    if (n == 0) break;
    left -= n;
    const Byte* in = f.input.data();
    while (ok && status != LZMA_STATUS_FINISHED_WITH_MARK) {
      if (d.decoder.dicPos == d.decoder.dicBufSize) d.decoder.dicPos = 0;
      SizeT from = d.decoder.dicPos, used = n;
      ok = Lzma2Dec_DecodeToDic(&d, d.decoder.dicBufSize, in, &used, LZMA_FINISH_ANY, &status) == SZ_OK;
      in += used;
      n -= (DWORD)used;
      DWORD out = (DWORD)(d.decoder.dicPos - from), done = 0;
      f.written += out;
      if (ok && out) ok = WriteFile(f.out, d.decoder.dic + from, out, &done, nullptr) && done == out;
      if (n == 0 && d.decoder.dicPos != d.decoder.dicBufSize) break;
    }
  }
  Lzma2Dec_Free(&d, &kLzmaAlloc);
  return ok && status == LZMA_STATUS_FINISHED_WITH_MARK;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: wrenly-plain-unpack.exe SETUP.exe OUTDIR [IN OUT]\n");
    return 2;
  }
  if (argc == 5) {
    inSize = (DWORD)std::strtoul(argv[3], nullptr, 10);
    outSize = (DWORD)std::strtoul(argv[4], nullptr, 10);
    if (inSize == 0 || outSize == 0) return 2;
  }
  Setup setup;
  Wizard wizard = {};
  InitSetup(setup);
  setup.wizard = &wizard;
  if (!AllocatePathBuffers(setup)) return 3;
  std::strncpy(setup.ownPath, argv[1], kPathSize - 1);
  if (!LoadPackage(setup)) {
    std::fprintf(stderr, "%s: no package\n", argv[1]);
    return 4;
  }
  CreateDirectoryA(argv[2], nullptr);
  Files f;
  f.in = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f.in == INVALID_HANDLE_VALUE) return 5;

  double start = NowMs();
  const InstallTypeSlot* type = setup.package.currentType;
  wf::ByteView table{type->fileTable, type->fileTableSize};
  uint32_t at = wf::file_table::kEntries;
  int failures = 0;
  for (uint32_t n = 0; n < setup.package.entryCount; ++n) {
    wf::FileEntryView e;
    if (!wf::ParseFileEntry(table, at, &e)) return 6;
    at += e.recordSize;
    if (e.storedLength < 1) continue;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%s\\%u", argv[2], n);
    f.out = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER to;
    to.QuadPart = (LONGLONG)setup.dataArea.start + e.dataOffset;
    unsigned char method = 0;
    DWORD got = 0;
    bool ok = f.out != INVALID_HANDLE_VALUE && SetFilePointerEx(f.in, to, nullptr, FILE_BEGIN) &&
              ReadFile(f.in, &method, 1, &got, nullptr) && got == 1;
    if (ok)
      ok = method == wf::kMethodZlib    ? Inflate(f, e.storedLength - 1)
           : method == wf::kMethodBzip2 ? Bunzip2(f, e.storedLength - 1)
           : method == wf::kMethodLzma  ? Unlzma(f, e.storedLength - 1)
                                        : false;
    if (f.out != INVALID_HANDLE_VALUE) CloseHandle(f.out);
    if (!ok) ++failures;
  }
  double elapsed = NowMs() - start;
  CloseHandle(f.in);

  std::printf("bytes %llu\n", f.written);
  std::printf("failures %d\n", failures);
  std::printf("elapsed-ms %lld\n", (long long)elapsed);
  std::printf("peak-working-set-kb %lld\n", PeakWorkingSetKb());
  FreePackage(setup.package);
  return failures ? 7 : 0;
}
