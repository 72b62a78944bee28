// Container, settings, bitmaps, background and title.
#include <string>

#include "format/bitmaps.h"
#include "format/block_ids.h"
#include "format/container.h"
#include "format/install_type.h"
#include "format/settings.h"
#include "reader/names.h"
#include "reader/report.h"
#include "reader/stream_decoder.h"

namespace wrenly::inspector {

namespace wf = wrenly::format;

namespace {

std::string Font(wf::ByteView f) {
  uint8_t face[wf::logfont::kFaceNameSize + 1] = {};
  for (uint32_t i = 0; i < wf::logfont::kFaceNameSize; ++i) f.U8(wf::logfont::kFaceName + i, &face[i]);
  int32_t height = 0, weight = 0;
  f.I32(wf::logfont::kHeight, &height);
  f.I32(wf::logfont::kWeight, &weight);
  uint8_t italic = 0;
  f.U8(wf::logfont::kItalic, &italic);
  return Quote(reinterpret_cast<const char*>(face)) + " height " + std::to_string(height) + " weight " +
         std::to_string(weight) + (italic ? " italic" : "");
}

void PrintControls(wf::ByteView v, uint32_t at, uint32_t count, const char* indent, std::ostream& out) {
  namespace cr = wf::control_record;
  for (uint32_t i = 0; i < count; ++i) {
    wf::ByteView r = v.Sub(at + i * cr::kSize, cr::kSize);
    uint16_t cls = 0, id = 0;
    uint32_t style = 0, ex = 0, opts = 0;
    int32_t l = 0, t = 0, rt = 0, b = 0;
    r.U16(cr::kClass, &cls);
    r.U16(cr::kId, &id);
    r.U32(cr::kStyle, &style);
    r.U32(cr::kExStyle, &ex);
    r.U32(cr::kOptions, &opts);
    r.I32(cr::kLeft, &l);
    r.I32(cr::kTop, &t);
    r.I32(cr::kRight, &rt);
    r.I32(cr::kBottom, &b);
    out << indent << "control id " << id << " class " << cls << " style " << Hex(style) << " ex " << Hex(ex)
        << (opts & cr::kOptTextBox ? " text-box" : "") << " at (" << l << "," << t << ")-";
    if (rt == cr::kSpecialSize) out << "(fill page)\n";
    else out << "(" << rt << "," << b << ")\n";
  }
}

void PrintSettings(const Bytes& s, std::ostream& out) {
  namespace ss = wf::setup_settings;
  namespace pl = wf::page_layout;
  auto v = View(s);
  uint32_t flags = 0, top = 0, bottom = 0, options = 0, barColour = 0, buttonsAt = 0;
  int32_t w = 0, h = 0, barHeight = 0, buttons = 0;
  v.U32(ss::kFlags, &flags);
  v.U32(ss::kTopColour, &top);
  v.U32(ss::kBottomColour, &bottom);
  v.I32(ss::kWizardWidth, &w);
  v.I32(ss::kWizardHeight, &h);
  v.U32(ss::kOptions, &options);
  v.U32(ss::kButtonBarColour, &barColour);
  v.I32(ss::kButtonBarHeight, &barHeight);
  v.I32(ss::kButtonCount, &buttons);
  v.U32(ss::kButtonRecords, &buttonsAt);
  out << "settings: " << s.size() << " bytes\n"
      << "  flags " << Hex(flags) << " (" << SettingsFlagWords(flags) << ")\n"
      << "  colours: top " << Colour(top) << ", bottom " << Colour(bottom) << "\n"
      << "  wizard " << w << " x " << h << "; options " << Hex(options, 0) << " (" << SettingsOptionWords(options)
      << ")\n"
      << "  dialog font " << Font(v.Sub(ss::kDialogFont, wf::logfont::kSize)) << "\n"
      << "  button bar: height " << barHeight << ", colour " << Colour(barColour) << ", " << buttons
      << " button records\n";
  PrintControls(v, buttonsAt, static_cast<uint32_t>(buttons), "    ", out);
  for (uint32_t k = 0; k < ss::kLayoutCount; ++k) {
    uint32_t at = 0;
    v.U32(ss::kLayouts + 4 * k, &at);
    if (at == 0) continue;
    wf::ByteView l{v.data + at, v.size - at};
    uint32_t lf = 0, page = 0, text = 0, edit = 0, side = 0, sideBitmap = 0, headerBitmap = 0, bodyAt = 0, headerAt = 0;
    int32_t sideWidth = 0, headerHeight = 0;
    uint16_t bodyCount = 0, headerCount = 0;
    l.U32(pl::kFlags, &lf);
    l.U32(pl::kPageColour, &page);
    l.U32(pl::kTextColour, &text);
    l.U32(pl::kEditColour, &edit);
    l.I32(pl::kSideWidth, &sideWidth);
    l.U32(pl::kSideColour, &side);
    l.U32(pl::kSideBitmap, &sideBitmap);
    l.I32(pl::kHeaderHeight, &headerHeight);
    l.U32(pl::kHeaderBitmap, &headerBitmap);
    l.U16(pl::kBodyCount, &bodyCount);
    l.U16(pl::kHeaderCount, &headerCount);
    l.U32(pl::kBodyRecords, &bodyAt);
    l.U32(pl::kHeaderRecords, &headerAt);
    out << "  layout " << PageName(static_cast<uint8_t>(k)) << " at " << at << ": flags " << Hex(lf, 0) << " ("
        << LayoutFlagWords(lf) << "), page " << Colour(page) << ", text " << Colour(text) << ", edit "
        << Colour(edit) << "\n    side width " << sideWidth << " (colour " << Colour(side) << ", bitmap "
        << sideBitmap << "), header height " << headerHeight << " (bitmap " << headerBitmap << "), " << bodyCount
        << " body + " << headerCount << " header controls\n";
    PrintControls(l, bodyAt, bodyCount, "    body ", out);
    PrintControls(l, headerAt, headerCount, "    header ", out);
  }
}

std::string DibWords(wf::ByteView dib, bool* ok) {
  wf::DibInfo d;
  *ok = wf::ParseDib(dib, &d);
  if (!*ok) return "not a readable bitmap";
  return std::to_string(d.width) + " x " + std::to_string(d.height) + ", " + std::to_string(d.bitCount) +
         " bits per pixel";
}

void PrintBitmaps(const Bytes& table, std::ostream& out, Problems& problems) {
  auto v = View(table);
  uint32_t count = 0;
  if (!v.U32(wf::bitmap_table::kCount, &count) || uint64_t{count} * 4 + 4 > v.size) {
    problems.push_back("bitmap table: its count " + std::to_string(count) + " does not fit its " +
                       std::to_string(v.size) + " bytes");
    return;
  }
  out << "bitmaps: " << count << "\n";
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t at = 0;
    v.U32(wf::bitmap_table::kOffsets + 4 * i, &at);
    if (at == 0) {
      out << "  #" << i + 1 << ": none\n";
      continue;
    }
    bool ok;
    std::string words = DibWords(v.Sub(at, at <= v.size ? v.size - at : 0), &ok);
    out << "  #" << i + 1 << " at " << at << ": " << words << "\n";
    if (!ok) problems.push_back("bitmap " + std::to_string(i + 1) + " at offset " + std::to_string(at) +
                                " is not a readable bitmap inside its table");
  }
}

void PrintBackground(const Package& pkg, std::ostream& out, Problems& problems) {
  if (pkg.backgroundVariants) {
    auto v = View(*pkg.backgroundVariants);
    int32_t count = 0;
    v.I32(wf::variant_list::kCount, &count);
    out << "background variants: " << count;
    for (int32_t j = 0; j < count; ++j) {
      int32_t w = 0, h = 0;
      v.I32(wf::variant_list::kPairs + j * wf::variant_list::kPairSize, &w);
      v.I32(wf::variant_list::kPairs + j * wf::variant_list::kPairSize + 4, &h);
      out << (j ? ", " : ": ") << w << " x " << h;
    }
    out << "\n";
    if (static_cast<size_t>(count) != pkg.backgrounds.size())
      problems.push_back("the background variant list names " + std::to_string(count) + " variants, " +
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
    auto v = View(*pkg.title);
    uint32_t len = 0;
    const char* t = v.CString(0, &len);
    if (t) out << "title: " << Quote({t, len}) << "\n";
    else problems.push_back("the title text has no terminator inside its block");
  }
  if (pkg.titleStyle) {
    namespace ts = wf::title_style;
    auto v = View(*pkg.titleStyle);
    if (v.size < ts::kSize) {
      problems.push_back("the title style holds " + std::to_string(v.size) + " of " + std::to_string(ts::kSize) +
                         " bytes");
      return;
    }
    uint32_t shadow = 0, text = 0, align = 0;
    v.U32(ts::kShadowColour, &shadow);
    v.U32(ts::kTextColour, &text);
    v.U32(ts::kAlignment, &align);
    out << "title style: text " << Colour(text) << ", shadow " << Colour(shadow) << ", "
        << (align ? "right" : "left") << ", font " << Font(v.Sub(ts::kFont, wf::logfont::kSize)) << "\n";
  }
}

}  // namespace

void PrintContainer(const Package& pkg, std::ostream& out) {
  out << "package: " << pkg.path.string() << " (" << pkg.fileSize << " bytes)\n"
      << "stub: " << pkg.signatureOffset << " bytes; signature at offset " << pkg.signatureOffset
      << "; first block at " << pkg.signatureOffset + wf::kSignatureSize << "\n"
      << "blocks: " << pkg.blocks.size() << "\n";
  for (const BlockInfo& b : pkg.blocks) {
    out << "  at " << b.offset << ": " << b.id << " " << BlockName(b.id) << ", flags " << Hex(b.flags, 4)
        << ", length " << b.length;
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
    out << "single page: " << PageName(static_cast<uint8_t>(*pkg.singlePageKind)) << ", initial install type "
        << pkg.initialType << "\n";
  if (pkg.uninstaller) out << "uninstaller image: " << pkg.uninstaller->size() << " bytes\n";
  else out << "uninstaller image: none\n";
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
