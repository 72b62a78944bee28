// Which entries point at one stored copy of the same bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "builder/project.h"

namespace wrenly::builder {

// For every entry of every type in table order (folder entries too), the
// index in that order of the entry whose stored data it points at: its own
// when it stores a copy. Entries share when their bytes are the same (found
// by size, then by content) and they ask for the same method and level; the
// same bytes asked for otherwise keep a copy of their own, as one stream has
// one method. `sizes`: each entry's input size, in the same order. With
// `forwardOnly` (volumes), a type's entries read the DataArea front to back.
std::vector<size_t> FindSharedCopies(const Project& project, const std::vector<uint64_t>& sizes, bool forwardOnly,
                                     unsigned threads);

}  // namespace wrenly::builder
