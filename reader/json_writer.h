// A small JSON writer for `inspect --json`: objects, arrays, strings,
// integers, booleans and null, indented two spaces a level. The caller keeps
// the nesting right; the writer places the commas.
//
// Package texts are ANSI bytes and are decoded as Windows-1252: 0x80-0x9F by
// its table, 0xA0-0xFF as Latin-1, the five bytes it leaves undefined as
// U+FFFD. Host texts (paths, messages) are UTF-8; a byte that is not part of a
// valid sequence becomes U+FFFD. Either way the output is valid UTF-8.
#pragma once
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace wrenly::inspector {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  ~JsonWriter();

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The name of the next member of the object being written.
  JsonWriter& Key(std::string_view name);

  void Ansi(std::string_view text);  // text of the package, Windows-1252
  void Ansi(const char* text);       // null when absent
  void Utf8(std::string_view text);  // text of this host
  void Int(int64_t v);
  void Uint(uint64_t v);
  void Bool(bool v);
  void Null();

  // Key and value in one.
  template <typename T>
  void Field(std::string_view name, T v) {
    Key(name);
    if constexpr (std::is_same_v<T, bool>) Bool(v);
    else if constexpr (std::is_signed_v<T>) Int(v);
    else Uint(v);
  }
  void UtfField(std::string_view name, std::string_view v) { Key(name).Utf8(v); }
  void AnsiField(std::string_view name, const char* v) { Key(name).Ansi(v); }
  // An object member written by `members`, or null when not `present`.
  template <typename F>
  void ObjectField(std::string_view name, bool present, F members) {
    Key(name);
    if (!present) return Null();
    BeginObject();
    members();
    EndObject();
  }
  // Words joined by ", " (as the text output shows them) as an array of
  // strings; "none" is the empty array.
  void WordsField(std::string_view name, std::string_view words);

 private:
  void Open(char c);
  void Close(char c);
  void BeforeValue();
  void Newline();
  void Quoted(std::string_view text, bool ansi);

  std::ostream& out_;
  int depth_ = 0;
  bool first_ = true;      // no member yet at this level
  bool afterKey_ = false;  // a key was written, its value comes next
};

}  // namespace wrenly::inspector
