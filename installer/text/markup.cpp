#include "text/markup.h"

namespace {

struct TagSpelling {
  const char* open;
  const char* close;
  uint32_t mask;
  uint32_t color;
};

// The link and size tags open with a prefix; their argument runs to the next '>'.
constexpr TagSpelling kTags[kMarkupTagCount] = {
    {"<b>", "</b>", kFormatBold, 0},
    {"<i>", "</i>", kFormatItalic, 0},
    {"<u>", "</u>", kFormatUnderline, 0},
    {"<s>", "</s>", kFormatStrikeOut, 0},
    {"<link=", "</link>", kFormatLink, 0},
    {"<fontsize=", "</font>", kFormatSize, 0},
    {"<black>", "</black>", kFormatColor, 0x000000},
    {"<white>", "</white>", kFormatColor, 0xFFFFFF},
    {"<red>", "</red>", kFormatColor, 0x0000FF},
    {"<green>", "</green>", kFormatColor, 0x00FF00},
    {"<blue>", "</blue>", kFormatColor, 0xFF0000},
};

constexpr uint32_t kNotOpen = 0xFFFFFFFFu;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Length of spelling when it follows at `at` (ignoring case), else 0.
uint32_t MatchAt(const char* at, const char* spelling) {
  uint32_t n = 0;
  for (; spelling[n]; ++n)
    if (Lower(at[n]) != spelling[n]) return 0;  // also stops at the terminator
  return n;
}

// Length of the argument up to the next '>' or the end.
uint32_t ArgumentLength(const char* at) {
  uint32_t n = 0;
  while (at[n] && at[n] != '>') ++n;
  return n;
}

struct Converter {
  char* text;
  uint32_t size;
  Markup* out;
  uint32_t openAt[kMarkupTagCount];
  uint32_t sizePoints = 0;
  const char* linkTarget = nullptr;
  uint32_t linkLength = 0;

  void Append(const char* from, uint32_t n) {
    uint32_t room = size ? size - 1 - out->textLength : 0;
    if (n > room) n = room;
    for (uint32_t i = 0; i < n; ++i) text[out->textLength + i] = from[i];
    out->textLength += n;
  }

  void AddRun(uint32_t tag, uint32_t limit) {
    if (out->runCount >= limit) return;
    out->runs[out->runCount++] = {uint8_t(tag), openAt[tag], out->textLength, sizePoints};
  }

  void Open(uint32_t tag, const char* argument, uint32_t length) {
    if (openAt[tag] == kNotOpen) openAt[tag] = out->textLength;
    if (tag == kTagLink) {
      linkTarget = argument;
      linkLength = length;
    } else if (tag == kTagFontSize) {
      sizePoints = 0;
      for (uint32_t i = 0; i < length; ++i) {
        if (argument[i] < '0' || argument[i] > '9') continue;
        sizePoints = sizePoints * 10 + uint32_t(argument[i] - '0');
        if (sizePoints > kMaxFontPoints) sizePoints = kMaxFontPoints;
      }
    }
  }

  void Close(uint32_t tag) {
    AddRun(tag, kMaxMarkupRuns - kMarkupTagCount);
    if (tag == kTagLink && linkLength) {
      if (out->linkCount < kMaxMarkupLinks) out->links[out->linkCount++] = {openAt[tag], linkTarget, linkLength};
      linkTarget = nullptr;
      linkLength = 0;
    }
    openAt[tag] = kNotOpen;
  }

  // Bytes consumed by a tag at `at`, or 0 when the '<' is an ordinary character.
  uint32_t TryTag(const char* at) {
    for (uint32_t tag = 0; tag < kMarkupTagCount; ++tag) {
      if (uint32_t n = MatchAt(at, kTags[tag].open)) {
        if (tag == kTagLink || tag == kTagFontSize) {
          uint32_t length = ArgumentLength(at + n);
          Open(tag, at + n, length);
          n += length;
          if (at[n] == '>') ++n;
        } else {
          Open(tag, nullptr, 0);
        }
        return n;
      }
      if (uint32_t n = MatchAt(at, kTags[tag].close)) {
        if (openAt[tag] == kNotOpen) return 0;
        Close(tag);
        return n;
      }
    }
    return 0;
  }
};

}  // namespace

void ConvertMarkup(const char* source, char* text, uint32_t size, Markup* out) {
  out->textLength = 0;
  out->runCount = 0;
  out->linkCount = 0;
  Converter c{text, size, out, {}};
  for (uint32_t& at : c.openAt) at = kNotOpen;
  const char* p = source ? source : "";
  while (*p) {
    const char* lt = p;
    while (*lt && *lt != '<') ++lt;
    c.Append(p, uint32_t(lt - p));
    if (!*lt) break;
    uint32_t consumed = c.TryTag(lt);
    if (consumed) {
      p = lt + consumed;
    } else {
      c.Append(lt, 1);
      p = lt + 1;
    }
  }
  for (uint32_t tag = 0; tag < kMarkupTagCount; ++tag)
    if (c.openAt[tag] != kNotOpen) c.AddRun(tag, kMaxMarkupRuns);
  if (size) text[out->textLength] = 0;
}

MarkupFormat RunFormat(const MarkupRun& run) {
  MarkupFormat f{};
  if (run.tag >= kMarkupTagCount) return f;
  const TagSpelling& t = kTags[run.tag];
  f.mask = t.mask;
  if (t.mask == kFormatColor) f.color = t.color;
  else if (t.mask == kFormatSize) f.heightTwips = int32_t(run.sizePoints * 20);
  else f.effects = t.mask;
  return f;
}
