// Container, settings, bitmaps, background and title.
#include <string>

#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "reader/names.h"
#include "reader/records_view.h"
#include "reader/report.h"
#include "reader/stream_decoder.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

std::string Font(const FontRecord& f) {
  return Quote(f.face) + " height " + std::to_string(f.height) + " weight " + std::to_string(f.weight) +
         (f.italic ? " italic" : "");
}

void PrintControls(const std::vector<ControlRecord>& controls, const char* indent, std::ostream& out) {
  for (const ControlRecord& c : controls) {
    out << indent << "control id " << c.id << " class " << c.cls << " style " << Hex(c.style) << " ex "
        << Hex(c.exStyle) << (c.TextBox() ? " text-box" : "") << " at (" << c.left << "," << c.top << ")-";
    if (c.FillsPage()) out << "(fill page)\n";
    else out << "(" << c.right << "," << c.bottom << ")\n";
  }
}

void PrintSettings(const Bytes& bytes, std::ostream& out) {
  SettingsRecord s = ReadSettings(View(bytes));
  out << "settings: " << bytes.size() << " bytes\n"
      << "  flags " << Hex(s.flags) << " (" << SettingsFlagWords(s.flags) << ")\n"
      << "  colours: top " << Colour(s.topColour) << ", bottom " << Colour(s.bottomColour) << "\n"
      << "  wizard " << s.width << " x " << s.height << "; options " << Hex(s.options, 0) << " ("
      << SettingsOptionWords(s.options) << ")\n"
      << "  dialog font " << Font(s.dialogFont) << "\n"
      << "  button bar: height " << s.barHeight << ", colour " << Colour(s.barColour) << ", " << s.buttonCount
      << " button records\n";
  PrintControls(s.buttons, "    ", out);
  for (const LayoutRecord& l : s.layouts) {
    out << "  layout " << PageName(l.page) << " at " << l.offset << ": flags " << Hex(l.flags, 0) << " ("
        << LayoutFlagWords(l.flags) << "), page " << Colour(l.pageColour) << ", text " << Colour(l.textColour)
        << ", edit " << Colour(l.editColour) << "\n    side width " << l.sideWidth << " (colour "
        << Colour(l.sideColour) << ", bitmap " << l.sideBitmap << "), header height " << l.headerHeight << " (bitmap "
        << l.headerBitmap << "), " << l.body.size() << " body + " << l.header.size() << " header controls\n";
    PrintControls(l.body, "    body ", out);
    PrintControls(l.header, "    header ", out);
  }
}

std::string DibWords(wf::ByteView dib, bool* ok) {
  wf::DibInfo d;
  *ok = wf::ParseDib(dib, &d);
  if (!*ok) return "not a readable bitmap";
  return std::to_string(d.width) + " x " + std::to_string(d.height) + ", " + std::to_string(d.bitCount) +
         " bits per pixel";
}

void PrintBitmaps(const Bytes& bytes, std::ostream& out, Problems& problems) {
  auto v = View(bytes);
  BitmapTableRecord table = ReadBitmapTable(v);
  if (!table.fits) {
    problems.push_back("bitmap table: its count " + std::to_string(table.count) + " does not fit its " +
                       std::to_string(v.size) + " bytes");
    return;
  }
  out << "bitmaps: " << table.count << "\n";
  for (uint32_t i = 0; i < table.count; ++i) {
    uint32_t at = table.offsets[i];
    if (at == 0) {
      out << "  #" << i + 1 << ": none\n";
      continue;
    }
    bool ok;
    std::string words = DibWords(v.Sub(at, at <= v.size ? v.size - at : 0), &ok);
    out << "  #" << i + 1 << " at " << at << ": " << words << "\n";
    if (!ok)
      problems.push_back("bitmap " + std::to_string(i + 1) + " at offset " + std::to_string(at) +
                         " is not a readable bitmap inside its table");
  }
}

void PrintBackground(const Package& pkg, std::ostream& out, Problems& problems) {
  if (pkg.backgroundVariants) {
    std::vector<VariantSize> variants = ReadVariants(View(*pkg.backgroundVariants));
    out << "background variants: " << variants.size();
    for (size_t j = 0; j < variants.size(); ++j)
      out << (j ? ", " : ": ") << variants[j].width << " x " << variants[j].height;
    out << "\n";
    if (variants.size() != pkg.backgrounds.size())
      problems.push_back("the background variant list names " + std::to_string(variants.size()) + " variants, " +
                         std::to_string(pkg.backgrounds.size()) + " bitmap blocks follow");
  }
  for (size_t j = 0; j < pkg.backgrounds.size(); ++j) {
    auto v = View(pkg.backgrounds[j]);
    bool ok = false;
    std::string words = v.size > wf::kBitmapFileHeaderSize
                            ? DibWords(v.Sub(wf::kBitmapFileHeaderSize, v.size - wf::kBitmapFileHeaderSize), &ok)
                            : "too short";
    out << "  background bitmap " << j << ": " << v.size << " bytes, " << words << "\n";
    if (!ok) problems.push_back("background bitmap " + std::to_string(j) + " is not a readable bitmap");
  }
}

void PrintTitle(const Package& pkg, std::ostream& out, Problems& problems) {
  if (pkg.title) {
    if (auto t = ReadTitle(View(*pkg.title))) out << "title: " << Quote(*t) << "\n";
    else problems.push_back("the title text has no terminator inside its block");
  }
  if (pkg.titleStyle) {
    auto style = ReadTitleStyle(View(*pkg.titleStyle));
    if (!style) {
      problems.push_back("the title style holds " + std::to_string(pkg.titleStyle->size()) + " of " +
                         std::to_string(wf::title_style::kSize) + " bytes");
      return;
    }
    out << "title style: text " << Colour(style->textColour) << ", shadow " << Colour(style->shadowColour) << ", "
        << (style->alignment ? "right" : "left") << ", font " << Font(style->font) << "\n";
  }
}

}  // namespace

void PrintContainer(const Package& pkg, std::ostream& out) {
  out << "package: " << pkg.path.string() << " (" << pkg.fileSize << " bytes)\n"
      << "stub: " << pkg.signatureOffset << " bytes; signature at offset " << pkg.signatureOffset << "; first block at "
      << pkg.signatureOffset + wf::kSignatureSize << "\n";
  if (pkg.stubDecoders) {
    out << "stub decoders:";
    for (const char* name : DecoderNames(*pkg.stubDecoders)) out << " " << name;
    out << "\n";
  }
  out << "blocks: " << pkg.blocks.size() << "\n";
  for (const BlockInfo& b : pkg.blocks) {
    out << "  at " << b.offset << ": " << b.id << " " << BlockName(b.id) << ", flags " << Hex(b.flags, 4) << ", length "
        << b.length;
    if (b.compressed && b.id != wf::kBlockEnd && b.id != wf::kBlockSinglePage && b.length >= 5)
      out << ", unpacked " << b.unpackedSize << " (" << MethodName(b.method) << ")";
    out << "\n";
  }
}

void PrintLook(const Package& pkg, std::ostream& out, Problems& problems) {
  if (pkg.settings) PrintSettings(*pkg.settings, out);
  else out << "settings: none\n";
  if (pkg.bitmapTable) PrintBitmaps(*pkg.bitmapTable, out, problems);
  PrintBackground(pkg, out, problems);
  PrintTitle(pkg, out, problems);
  if (pkg.singlePageKind)
    out << "single page: " << PageName(static_cast<uint8_t>(*pkg.singlePageKind)) << ", initial "
        << TypeLabel(pkg.initialType) << "\n";
  if (pkg.uninstaller) out << "uninstaller image: " << pkg.uninstaller->size() << " bytes\n";
  else out << "uninstaller image: none\n";
  auto details = pkg.details ? ReadProductDetails(View(*pkg.details)) : std::nullopt;
  if (details)
    out << "product details: version " << Quote((*details)[wf::product_details::kVersion]) << ", publisher "
        << Quote((*details)[wf::product_details::kPublisher]) << ", URL "
        << Quote((*details)[wf::product_details::kUrl]) << "\n";
  else if (pkg.details)
    problems.push_back("product details: a field runs past the block; the Installer leaves them out");
  else out << "product details: none\n";
  auto identity = pkg.identity ? ReadProductIdentity(View(*pkg.identity)) : std::nullopt;
  if (identity) {
    out << "product identity: architecture " << ArchitectureName(identity->architecture) << ", scope "
        << ScopeName(identity->scope) << ", id " << Quote(identity->id)
        << (identity->id.empty() ? " (the product name)" : "") << ", flags " << Hex(identity->flags, 4) << " ("
        << IdentityFlagWords(identity->flags) << ")\n";
    // The Installer cannot tell where a product it does not know belongs.
    if (identity->architecture >= wf::kArchitectureCount || identity->scope >= wf::kScopeCount)
      problems.push_back("product identity: architecture " + ArchitectureName(identity->architecture) + ", scope " +
                         ScopeName(identity->scope) + "; the Installer refuses the package");
  } else if (pkg.identity) {
    problems.push_back("product identity: the id runs past the block");
  } else {
    out << "product identity: none (x86, for the whole machine)\n";
  }
}

void PrintDataArea(const Package& pkg, std::ostream& out) {
  const DataPart& own = pkg.parts.front();
  out << "end block at " << pkg.endBlockOffset << ": length field " << pkg.endLengthField << "\n"
      << "data area: " << own.size << " bytes in the package file at offset " << own.fileOffset << "\n";
  uint64_t end = own.fileOffset + own.size;
  if (pkg.fileSize > end) out << "  " << pkg.fileSize - end << " bytes follow the data area (ignored)\n";
  for (size_t i = 1; i < pkg.parts.size(); ++i)
    out << "  volume " << pkg.parts[i].path.filename().string() << ": " << pkg.parts[i].size << " bytes\n";
  out << "  total " << pkg.DataAreaSize() << " bytes in " << pkg.parts.size() << " part"
      << (pkg.parts.size() == 1 ? "" : "s") << "\n";
}

}  // namespace wrenly::inspector
