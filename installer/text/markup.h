// The small tag language of page texts: conversion into tag-free text plus
// the formatting runs and link targets a rich-edit control needs.
#pragma once
#include <stdint.h>

// Table order matters: a '<' is tested against the entries in this order.
enum MarkupTag : uint8_t {
  kTagBold,
  kTagItalic,
  kTagUnderline,
  kTagStrikeOut,
  kTagLink,
  kTagFontSize,
  kTagBlack,
  kTagWhite,
  kTagRed,
  kTagGreen,
  kTagBlue,
  kMarkupTagCount
};

// Character-format masks and effects, as the rich-edit control spells them.
inline constexpr uint32_t kFormatBold = 0x1;
inline constexpr uint32_t kFormatItalic = 0x2;
inline constexpr uint32_t kFormatUnderline = 0x4;
inline constexpr uint32_t kFormatStrikeOut = 0x8;
inline constexpr uint32_t kFormatLink = 0x20;
inline constexpr uint32_t kFormatSize = 0x80000000u;
inline constexpr uint32_t kFormatColor = 0x40000000u;

// Room for the closed pairs; the tags left open always find room after them.
inline constexpr uint32_t kMaxMarkupRuns = 128;
inline constexpr uint32_t kMaxMarkupLinks = 32;
// Larger sizes would overflow the control's height in twips; they are held here.
inline constexpr uint32_t kMaxFontPoints = 1638;

struct MarkupRun {
  uint8_t tag;
  uint32_t start;  // byte offsets into the tag-free text
  uint32_t end;
  uint32_t sizePoints;  // the size number in force when the run was recorded
};

// The target points into the source text and is not terminated.
struct MarkupLink {
  uint32_t start;
  const char* target;
  uint32_t length;
};

struct Markup {
  uint32_t textLength;
  uint32_t runCount;
  MarkupRun runs[kMaxMarkupRuns];
  uint32_t linkCount;
  MarkupLink links[kMaxMarkupLinks];
};

// Converts source (null is taken as "") into tag-free text in text (size
// bytes, always terminated when size > 0; a longer text is cut) and the runs
// in the order they are to be applied. Pairs beyond the room keep their text
// but lose their format or target.
void ConvertMarkup(const char* source, char* text, uint32_t size, Markup* out);

struct MarkupFormat {
  uint32_t mask;
  uint32_t effects;
  uint32_t color;  // COLORREF: red in the low byte
  int32_t heightTwips;
};

// The character format one run asks for.
MarkupFormat RunFormat(const MarkupRun& run);
