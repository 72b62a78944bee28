#include "report.h"

#include <cstdarg>

Report::Report(const char* path) : out_(stdout), own_(false) {
  if (!path) return;
  if (std::FILE* f = std::fopen(path, "w")) {
    out_ = f;
    own_ = true;
  }
}

Report::~Report() {
  if (own_) std::fclose(out_);
  else std::fflush(out_);
}

void Report::Number(const char* key, long long value) { std::fprintf(out_, "%s %lld\n", key, value); }

void Report::Quoted(const char* key, const char* text) {
  std::fprintf(out_, "%s \"%s\"\n", key, text ? text : "");
}

void Report::Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(out_, format, args);
  va_end(args);
  std::fputc('\n', out_);
  std::fflush(out_);
}
