#include "reader/json_writer.h"

#include <cstdio>

namespace wrenly::inspector {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// 0x80-0x9F of Windows-1252; 0 marks the bytes it leaves undefined.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void PutUtf8(std::string& s, uint32_t cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | cp >> 6);
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | cp >> 12);
    s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | cp >> 18);
    s += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code point of the UTF-8 sequence at text[i], advancing i; a byte that
// does not start a valid, shortest, non-surrogate sequence gives U+FFFD and
// is skipped alone.
uint32_t NextUtf8(std::string_view text, size_t& i) {
  uint8_t c = static_cast<uint8_t>(text[i++]);
  if (c < 0x80) return c;
  int more = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
  if (more < 0 || text.size() - i < static_cast<size_t>(more)) return kReplacement;
  uint32_t cp = c & (0x3F >> more);
  for (int k = 0; k < more; ++k) {
    uint8_t n = static_cast<uint8_t>(text[i + k]);
    if ((n & 0xC0) != 0x80) return kReplacement;
    cp = cp << 6 | (n & 0x3F);
  }
  static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return kReplacement;
  i += more;
  return cp;
}

}  // namespace

uint32_t Cp1252ToUnicode(uint8_t b) {
  if (b < 0x80 || b >= 0xA0) return b;
  return kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : kReplacement;
}

JsonWriter::~JsonWriter() {
  if (depth_ == 0 && !first_) out_ << "\n";
}

void JsonWriter::Newline() {
  out_ << "\n";
  for (int i = 0; i < depth_; ++i) out_ << "  ";
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_) out_ << ",";
  if (depth_) Newline();
  first_ = false;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  Quoted(name, false);
  out_ << ": ";
  afterKey_ = true;
  return *this;
}

void JsonWriter::Open(char c) {
  BeforeValue();
  out_ << c;
  ++depth_;
  first_ = true;
}

void JsonWriter::Close(char c) {
  --depth_;
  if (!first_) Newline();
  out_ << c;
  first_ = false;
}

void JsonWriter::Quoted(std::string_view text, bool ansi) {
  std::string s = "\"";
  for (size_t i = 0; i < text.size();) {
    uint32_t cp = ansi ? Cp1252ToUnicode(static_cast<uint8_t>(text[i++])) : NextUtf8(text, i);
    if (cp == '"' || cp == '\\') {
      s += '\\';
      s += static_cast<char>(cp);
    } else if (cp == '\n') {
      s += "\\n";
    } else if (cp == '\r') {
      s += "\\r";
    } else if (cp == '\t') {
      s += "\\t";
    } else if (cp < 0x20 || cp == 0x7F) {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04X", cp);
      s += b;
    } else {
      PutUtf8(s, cp);
    }
  }
  out_ << s << '"';
}

void JsonWriter::Ansi(std::string_view text) {
  BeforeValue();
  Quoted(text, true);
}

void JsonWriter::Ansi(const char* text) {
  if (text) Ansi(std::string_view(text));
  else Null();
}

void JsonWriter::Utf8(std::string_view text) {
  BeforeValue();
  Quoted(text, false);
}

void JsonWriter::Int(int64_t v) {
  BeforeValue();
  out_ << v;
}

void JsonWriter::Uint(uint64_t v) {
  BeforeValue();
  out_ << v;
}

void JsonWriter::Bool(bool v) {
  BeforeValue();
  out_ << (v ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
}

void JsonWriter::WordsField(std::string_view name, std::string_view words) {
  Key(name).BeginArray();
  if (words != "none") {
    for (size_t at = 0; at <= words.size();) {
      size_t comma = words.find(", ", at);
      if (comma == words.npos) comma = words.size();
      Utf8(words.substr(at, comma - at));
      at = comma + 2;
    }
  }
  EndArray();
}

}  // namespace wrenly::inspector
