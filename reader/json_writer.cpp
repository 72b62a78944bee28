#include "reader/json_writer.h"

#include <cstdio>

#include "reader/ansi_text.h"

namespace wrenly::inspector {

namespace {

constexpr uint32_t kReplacement = kReplacementCharacter;

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
