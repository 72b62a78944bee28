// Lays out the whole setup program: the stub, the signature, the blocks in
// their order, the end block and the DataArea, split into volumes on request.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "builder/project.h"
#include "builder/stub_images.h"

namespace wrenly::builder {

struct PackageImage {
  std::vector<uint8_t> setup;                 // stub + package + first DataArea part
  std::vector<std::vector<uint8_t>> volumes;  // .D01, .D02, ...
};

// How an entry's data went into the DataArea.
struct StoredData {
  uint64_t size = 0, stored = 0;
  Compression method = Compression::kZlib;  // bzip2 data that would not shrink goes as zlib
  bool packed = true;                       // false: stored blocks only, as it would not shrink
  const FileItem* copyOf = nullptr;         // the entry whose stored data it points at; null: its own
};

// What the compression reports as it goes, on the calling thread.
struct PackageProgress {
  // Before the first: how many copies of data and how many input bytes will be stored.
  std::function<void(size_t copies, uint64_t bytes)> start;
  std::function<void(uint64_t bytes)> bytes;  // input bytes stored so far, also within a large file
  // Each entry once it is stored, in table order, folder entries included.
  std::function<void(const FileItem& item, const StoredData& data)> stored;
};

struct PackageOutput {
  std::FILE* setup = nullptr;                    // stub, package and the first DataArea part
  std::FILE* scratch = nullptr;                  // opened for update: the DataArea while it is compressed
  std::function<std::FILE*(int number)> volume;  // opens volume `number`, from 1
};

struct PackageCounts {
  uint64_t setupBytes = 0;
  uint64_t outputBytes = 0;  // the setup program and every volume
  size_t volumes = 0;
  size_t stub = 0;       // the image taken, an index into the images offered
  uint32_t methods = 0;  // StubMethodBits of every method the package uses
};

// Streams every file from its source through its compressor into the DataArea,
// each distinct content once, a few pieces at a time on every core, then
// writes the stub, the blocks and the DataArea, cut into volumes when a
// volume size is set. The stub is the smallest of `stubs` that reads every
// method used, known once all is compressed; throws BuildError when none does.
PackageCounts WritePackage(const Project& project, std::span<const StubImage> stubs, const PackageOutput& out,
                           const PackageProgress& progress = {}, unsigned threads = 0);

// The same, in memory.
PackageImage AssemblePackage(const Project& project, const std::vector<uint8_t>& stub,
                             const PackageProgress& progress = {}, unsigned threads = 0);

// "dir\setup.exe" + 2 gives "dir\setup.D02"; a name without a dot gets the suffix appended.
std::filesystem::path VolumePath(const std::filesystem::path& setup, int number);

// Writes the setup program and its volumes; a failure leaves nothing behind.
void WritePackageFiles(const std::filesystem::path& output, const PackageImage& image);

}  // namespace wrenly::builder
