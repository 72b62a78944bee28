// The lines the engine test program leaves for the scenarios: one
// observation per line, "key value", strings in double quotes.
#pragma once
#include <cstdint>
#include <cstdio>

class Report {
 public:
  // Writes to path, or to stdout when path is null or cannot be opened.
  explicit Report(const char* path);
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  void Number(const char* key, long long value);
  void Quoted(const char* key, const char* text);
  // A free-form line, formatted like printf.
  void Line(const char* format, ...) __attribute__((format(printf, 2, 3)));

 private:
  std::FILE* out_;
  bool own_;
};
