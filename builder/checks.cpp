#include "builder/checks.h"

#include <fmt/format.h>

#include <cctype>

#include "builder/error.h"
#include "builder/utf8_path.h"
#include "format/bytes.h"
#include "format/container.h"
#include "format/names.h"

namespace wrenly::builder {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

size_t Characters(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
  return n;
}

std::string ComponentProblem(std::string_view part) {
  if (part.empty()) return "has an empty part (two backslashes in a row)";
  if (part == "..") return "leaves its folder with \"..\"";
  for (char c : part) {
    if (static_cast<uint8_t>(c) < 0x20) return fmt::format("holds control character {}", static_cast<int>(c));
    if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
      return fmt::format("holds '{}', which Windows does not allow in names", c);
  }
  if (part.back() == '.' || part.back() == ' ')
    return fmt::format("has \"{}\", which ends in a {}", part, part.back() == '.' ? "dot" : "blank");
  if (format::IsDeviceName(part.data(), static_cast<uint32_t>(part.size())))
    return fmt::format("has \"{}\", a Windows device name", part);
  if (Characters(part) > kMaxComponent)
    return fmt::format("has a part of {} characters; at most {}", Characters(part), kMaxComponent);
  return "";
}

}  // namespace

std::string PathProblem(std::string_view path, PathRule rule) {
  if (path.empty()) return "is empty";
  std::string_view rest = path;
  if (rule == PathRule::kInstallFolder && rest.starts_with("\\\\")) {
    rest.remove_prefix(2);  // \\server\share: both must be there
    size_t share = rest.find('\\');
    if (share == 0 || share == std::string_view::npos || share + 1 == rest.size())
      return "is a network path without a share";
  } else if (rule == PathRule::kInstallFolder && rest.size() >= 2 && IsAsciiLetter(rest[0]) && rest[1] == ':') {
    rest.remove_prefix(2);
    if (!rest.starts_with('\\')) return "names a drive without a backslash after it";
    rest.remove_prefix(1);
    if (rest.empty()) return "";
  } else if (rule != PathRule::kBelow && rest.size() > 2 && rest[0] == '#') {
    size_t end = rest.find('#', 1);  // #Program Files# and the like stand for a folder
    if (end == std::string_view::npos) return "has a # without its closing #";
    rest.remove_prefix(end + 1);
    if (rest.empty()) return "";
    if (!rest.starts_with('\\')) return "needs a backslash after its #Variable#";
    rest.remove_prefix(1);
  } else if (rest.starts_with('\\')) {
    return "is absolute; give a path below the folder";
  } else if (rest.size() >= 2 && rest[1] == ':') {
    return "names a drive; give a path below the folder";
  }
  if (rest.ends_with('\\')) rest.remove_suffix(1);  // a folder may end in one
  if (Characters(rest) > kMaxPathBelowFolder)
    return fmt::format("is {} characters long; no folder leaves room for more than {}", Characters(rest),
                       kMaxPathBelowFolder);
  for (size_t from = 0;;) {
    size_t end = rest.find('\\', from);
    std::string problem = ComponentProblem(rest.substr(from, end - from));
    if (!problem.empty()) return problem;
    if (end == std::string_view::npos) return "";
    from = end + 1;
  }
}

std::string FoldCase(std::string_view utf8) {
  std::string out(utf8);
  for (size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<uint8_t>(out[i]);
    if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
    // U+00C0..U+00DE but U+00D7: the Latin-1 capitals, the same names to Windows as their small letters.
    if (c == 0xC3 && i + 1 < out.size()) {
      auto d = static_cast<uint8_t>(out[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
  return out;
}

std::optional<std::array<uint16_t, 4>> ParseVersion(std::string_view text) {
  std::array<uint16_t, 4> parts{};
  size_t count = 0;
  for (size_t from = 0;;) {
    size_t end = text.find('.', from);
    std::string_view number = text.substr(from, end - from);
    if (count == 4 || number.empty() || number.size() > 5 ||
        number.find_first_not_of("0123456789") != std::string_view::npos)
      return std::nullopt;
    unsigned value = std::stoul(std::string(number));
    if (value > 0xFFFF) return std::nullopt;
    parts[count++] = static_cast<uint16_t>(value);
    if (end == std::string_view::npos) return parts;
    from = end + 1;
  }
}

namespace {
// The PE layout: DOS header pointer at 0x3C; after "PE\0\0" the machine,
// and the optional header 24 bytes on, its subsystem 68 bytes into it.
constexpr uint32_t kPeOffset = 0x3C, kMachine = 4, kOptional = 24, kSubsystem = 68;
}  // namespace

std::optional<uint16_t> PeMachine(const std::vector<uint8_t>& image) {
  uint32_t pe = image.size() >= kPeOffset + 4 ? format::LoadU32(&image[kPeOffset]) : 0;
  if (image.size() < 2 || image[0] != 'M' || image[1] != 'Z' || pe < kPeOffset + 4 ||
      uint64_t{pe} + kMachine + 2 > image.size() || format::LoadU32(&image[pe]) != 0x00004550)
    return std::nullopt;
  return format::LoadU16(&image[pe + kMachine]);
}

void CheckStub(const std::filesystem::path& path, const std::vector<uint8_t>& stub) {
  constexpr uint16_t kI386 = 0x14C, kAmd64 = 0x8664, kGui = 2;
  auto fail = [&](const std::string& what) { throw BuildError(fmt::format("{}: {}", Utf8(path), what)); };
  if (stub.size() > format::kMaxStubSize)
    fail(fmt::format("the stub is too large ({} bytes; at most {} fit the signature window)", stub.size(),
                     format::kMaxStubSize));
  std::optional<uint16_t> machine = PeMachine(stub);
  uint32_t pe = machine ? format::LoadU32(&stub[kPeOffset]) : 0;
  if (!machine || uint64_t{pe} + kOptional + kSubsystem + 2 > stub.size()) fail("the stub is not a Windows program");
  if (*machine != kI386 && *machine != kAmd64)
    fail(fmt::format("the stub is a Windows program for machine 0x{:04X}, not for x86", *machine));
  if (format::LoadU16(&stub[pe + kOptional + kSubsystem]) != kGui) fail("the stub is not a Windows GUI program");
}

}  // namespace wrenly::builder
