#include "builder/shared_data.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "builder/compress.h"
#include "builder/output_files.h"
#include "builder/sha256.h"
#include "builder/utf8_path.h"
#include "format/file_entry.h"

namespace wrenly::builder {
namespace f = wrenly::format;

namespace {

// Entries of one origin hold the same bytes without reading them: a source
// file, or one entry's own content (NUL never occurs in a path).
std::string Origin(const FileItem& item, size_t index) {
  return item.source.empty() ? std::string(1, '\0') + std::to_string(index) : Utf8(item.source);
}

std::string Digest(const FileItem& item) {
  if (item.source.empty()) return Sha256Hex(item.content);
  try {
    return FileSha256Hex(item.source);
  } catch (const BuildError&) {
    throw BuildError(item.where, fmt::format("\"{}\" could not be read", Utf8(item.source)));
  }
}

}  // namespace

std::vector<size_t> FindSharedCopies(const Project& project, const std::vector<uint64_t>& sizes, bool forwardOnly,
                                     unsigned threads) {
  std::vector<const FileItem*> items;
  for (const auto& type : project.types)
    for (const auto& item : type.files) items.push_back(&item);
  auto hasData = [&](size_t i) { return !(items[i]->flags & (f::kFlagFolder | f::kFlagSourceFolder)); };

  // Only sizes that several origins share need their contents read.
  std::map<uint64_t, std::map<std::string, std::vector<size_t>>> bySize;
  for (size_t i = 0; i < items.size(); ++i)
    if (hasData(i)) bySize[sizes[i]][Origin(*items[i], i)].push_back(i);
  std::vector<std::string> content(items.size());
  std::vector<const std::vector<size_t>*> toRead;
  for (const auto& [size, origins] : bySize)
    if (size > 0 && origins.size() > 1)
      for (const auto& [origin, entries] : origins) toRead.push_back(&entries);
  ParallelForOrdered(
      toRead.size(), threads,
      [&](size_t k) {
        ThrowIfInterrupted();
        std::string digest = Digest(*items[toRead[k]->front()]);
        for (size_t i : *toRead[k]) content[i] = digest;
      },
      [](size_t) {});

  using Key = std::tuple<uint64_t, std::string, Compression, int>;
  std::map<Key, std::vector<size_t>> stored;  // the copies of these bytes so far, in DataArea order
  std::vector<size_t> copyOf(items.size());
  size_t at = 0;
  for (const auto& type : project.types) {
    size_t lastCopy = 0;  // past the copy read before, plus one
    for (size_t k = 0; k < type.files.size(); ++k, ++at) {
      copyOf[at] = at;
      if (!hasData(at)) continue;
      const FileItem& item = *items[at];
      auto& copies =
          stored[{sizes[at], content[at], item.compression, item.compression == Compression::kBzip2 ? 0 : item.level}];
      // The Installer never goes back to an earlier volume: there a type's
      // entries point at copies further on than the one read before,
      // wherever the volumes end; the first such copy leaves the most room.
      auto copy = forwardOnly ? std::lower_bound(copies.begin(), copies.end(), lastCopy) : copies.begin();
      if (copy != copies.end()) copyOf[at] = *copy;
      else copies.push_back(at);
      lastCopy = copyOf[at] + 1;
    }
  }
  return copyOf;
}

}  // namespace wrenly::builder
