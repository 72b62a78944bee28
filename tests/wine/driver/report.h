// Output of the driver: one line per observation, texts in double quotes so
// a scenario can compare whole lines.
#pragma once
#include <string>

namespace driver {

// `"text"` with '"' escaped and line breaks written as \n, so a text never
// spans lines.
std::string Quoted(const std::string& text);
void Line(const std::string& line);

}  // namespace driver
