#include "report.h"

#include <stdio.h>

namespace driver {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '"') {
      out += "\\\"";
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

void Line(const std::string& line) {
  fputs(line.c_str(), stdout);
  fputc('\n', stdout);
  fflush(stdout);  // the scenario may be watching while the target still runs
}

}  // namespace driver
