#include "inspector/inspector.h"

namespace wrenly::inspector {

int Inspect(const std::filesystem::path&, const InspectOptions&, std::ostream&, std::ostream& err) {
  err << "inspect: not available yet\n";
  return 2;
}

int Extract(const std::filesystem::path&, const std::filesystem::path&, int, std::ostream&,
            std::ostream& err) {
  err << "extract: not available yet\n";
  return 2;
}

}  // namespace wrenly::inspector
