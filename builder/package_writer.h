// Lays out the whole setup program: the stub, the signature, the blocks in
// their order, the end block and the DataArea, split into volumes on request.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>
#include "builder/project.h"

namespace wrenly::builder {

struct PackageImage {
  std::vector<uint8_t> setup;                 // stub + package + first DataArea part
  std::vector<std::vector<uint8_t>> volumes;  // .D01, .D02, ...
};

// Called after each entry is compressed: done, total, input bytes so far.
using ProgressFn = std::function<void(size_t done, size_t total, uint64_t bytes)>;

PackageImage AssemblePackage(const Project& project, const std::vector<uint8_t>& stub,
                             const ProgressFn& progress = {}, unsigned threads = 0);

// "dir\setup.exe" + 2 gives "dir\setup.D02"; a name without a dot gets the suffix appended.
std::filesystem::path VolumePath(const std::filesystem::path& setup, int number);

// Writes the setup program and its volumes; a failure leaves nothing behind.
void WritePackageFiles(const std::filesystem::path& output, const PackageImage& image);

}  // namespace wrenly::builder
