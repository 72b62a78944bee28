// The one failure the reading side raises: the package (or a volume) is
// damaged or truncated. The message says what and where.
#pragma once
#include <stdexcept>
#include <string>

namespace wrenly::inspector {

struct Damaged : std::runtime_error {
  explicit Damaged(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace wrenly::inspector
