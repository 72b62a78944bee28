#include "builder/product_resources.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>

#include "builder/checks.h"
#include "builder/error.h"
#include "format/bytes.h"
#include "format/product_identity.h"
#include "format/stub_resources.h"

namespace wrenly::builder {
namespace {

using format::LoadU16;
using format::LoadU32;

constexpr uint16_t kEnglishUs = 0x0409, kUnicode = 1200;
// The file header's flags, after "PE\0\0" and five fields; removable and network run-from-swap.
constexpr uint32_t kCharacteristics = 22;
constexpr uint16_t kRunFromSwap = 0x0400 | 0x0800;

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t c = static_cast<uint8_t>(utf8[i]), extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= extra ? 0x3F >> extra : 0x7F;
    for (uint32_t k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    i += extra + 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10)), out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

// The nodes of a version resource: length, value length, type, key, value,
// children, each part on a 4-byte boundary.
class Node {
 public:
  Node(std::vector<uint8_t>& out, const std::u16string& key, uint16_t type) : out_(out), start_(out.size()) {
    U16(0), U16(0), U16(type);
    Text(key);
  }
  ~Node() { Patch(start_, static_cast<uint16_t>(out_.size() - start_)); }
  void Value(const void* data, size_t bytes, uint16_t counted) {
    Patch(start_ + 2, counted);
    auto* p = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), p, p + bytes);
    Align();
  }
  void Text(const std::u16string& text) {
    for (char16_t c : text) U16(c);
    U16(0);
    Align();
  }

 private:
  void U16(uint16_t v) { out_.push_back(static_cast<uint8_t>(v)), out_.push_back(static_cast<uint8_t>(v >> 8)); }
  void Align() {
    while (out_.size() % 4) out_.push_back(0);
  }
  void Patch(size_t at, uint16_t v) { out_[at] = static_cast<uint8_t>(v), out_[at + 1] = static_cast<uint8_t>(v >> 8); }
  std::vector<uint8_t>& out_;
  size_t start_;
};

}  // namespace

std::vector<uint8_t> VersionResource(const VersionTexts& texts) {
  std::array<uint16_t, 4> v{};
  if (auto parsed = ParseVersion(texts.version)) v = *parsed;
  uint32_t ms = uint32_t(v[0]) << 16 | v[1], ls = uint32_t(v[2]) << 16 | v[3];
  // VS_FIXEDFILEINFO: an application for 32-bit Windows, no flags.
  const uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, ms, ls, ms, ls, 0x3F, 0, 0x00040004, 1, 0, 0, 0};
  std::vector<uint8_t> out;
  {
    Node root(out, u"VS_VERSION_INFO", 0);
    root.Value(fixed, sizeof fixed, sizeof fixed);
    {
      Node strings(out, u"StringFileInfo", 1);
      Node table(out, u"040904B0", 1);
      const std::pair<const char16_t*, std::string> values[] = {
          {u"CompanyName", texts.publisher}, {u"FileDescription", texts.product + " Setup"},
          {u"FileVersion", texts.version},   {u"LegalCopyright", texts.copyright},
          {u"ProductName", texts.product},   {u"ProductVersion", texts.version},
      };
      for (const auto& [key, value] : values) {
        if (value.empty()) continue;
        Node s(out, key, 1);
        std::u16string text = Utf16(value);
        text.push_back(0);
        s.Value(text.data(), 2 * text.size(), static_cast<uint16_t>(text.size()));
      }
    }
    Node vars(out, u"VarFileInfo", 1);
    Node translation(out, u"Translation", 0);
    const uint16_t pair[2] = {kEnglishUs, kUnicode};
    translation.Value(pair, sizeof pair, sizeof pair);
  }
  return out;
}

std::vector<Resource> IconResources(const std::vector<uint8_t>& ico, uint32_t groupId, uint32_t firstId) {
  auto bad = [] { throw BuildError("the product's icon is not an .ico file"); };
  if (ico.size() < 6 || LoadU16(&ico[0]) != 0 || LoadU16(&ico[2]) != 1 || LoadU16(&ico[4]) == 0) bad();
  uint32_t count = LoadU16(&ico[4]);
  if (6 + 16 * count > ico.size()) bad();
  std::vector<Resource> out;
  std::vector<uint8_t> group(ico.begin(), ico.begin() + 6);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = &ico[6 + 16 * i];
    uint32_t size = LoadU32(e + 8), offset = LoadU32(e + 12);
    if (offset > ico.size() || size > ico.size() - offset) bad();
    out.push_back({kResourceIcon, firstId + i, kEnglishUs, {ico.begin() + offset, ico.begin() + offset + size}});
    // The group's entry is the file's, with the resource number in place of the offset.
    group.insert(group.end(), e, e + 12);
    group.push_back(static_cast<uint8_t>(firstId + i)), group.push_back(static_cast<uint8_t>((firstId + i) >> 8));
  }
  out.push_back({kResourceIconGroup, groupId, kEnglishUs, group});
  return out;
}

std::vector<uint8_t> ProductStub(const std::vector<uint8_t>& stub, const VersionTexts& texts,
                                 const std::vector<uint8_t>& ico) {
  // A stub made without resources says nothing of itself to replace.
  if (!HasResources(stub)) return stub;
  std::vector<Resource> resources = ReadResources(stub);
  // Started from a removable disk or a network share, the setup program
  // waits for its temporary copy while the copy may ask for the next disk:
  // the system then runs it from the page file, so nothing holds the medium.
  std::vector<uint8_t> image = stub;
  uint32_t characteristics = format::LoadU32(&image[0x3C]) + kCharacteristics;
  format::StoreU16(&image[characteristics], format::LoadU16(&image[characteristics]) | kRunFromSwap);
  std::erase_if(resources, [&](const Resource& r) {
    return r.type == kResourceVersion || (!ico.empty() && (r.type == kResourceIcon || r.type == kResourceIconGroup));
  });
  resources.push_back({kResourceVersion, 1, kEnglishUs, VersionResource(texts)});
  if (!ico.empty()) {
    std::vector<Resource> icons = IconResources(ico, format::kStubIconGroup, 1);
    resources.insert(resources.end(), icons.begin(), icons.end());
  }
  return WithResources(image, resources);
}

std::vector<uint8_t> ForScope(const std::vector<uint8_t>& image, uint8_t scope, std::string_view what) {
  if (scope != format::kScopeUser) return image;
  constexpr std::string_view kAdministrator = "level=\"requireAdministrator\"", kInvoker = "level=\"asInvoker\"";
  auto refuse = [&](std::string_view why) {
    throw BuildError(fmt::format("{} {}; a per-user product must start without administrator rights", what, why));
  };
  std::vector<Resource> resources;
  if (HasResources(image)) resources = ReadResources(image);
  auto manifest = std::find_if(resources.begin(), resources.end(),
                               [](const Resource& r) { return r.type == kResourceManifest && r.id == 1; });
  if (manifest == resources.end()) refuse("has no application manifest");
  std::string text(manifest->data.begin(), manifest->data.end());
  size_t at = text.find(kAdministrator);
  if (at == std::string::npos) {
    if (text.find(kInvoker) != std::string::npos) return image;  // one that asks for nothing already
    refuse("has a manifest without level=\"requireAdministrator\" to change");
  }
  text.replace(at, kAdministrator.size(), kInvoker);
  manifest->data.assign(text.begin(), text.end());
  return WithResources(image, resources);
}

}  // namespace wrenly::builder
