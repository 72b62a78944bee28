// The JSON side of Inspect, one function per part of the package, beside the
// text printers of report.h; docs/json-output.md describes every field.
#pragma once
#include <vector>

#include "reader/json_writer.h"
#include "reader/report.h"

namespace wrenly::inspector {

// Members of the package object: settings, bitmaps, background, title,
// single page and the uninstaller image.
void JsonLook(const Package& pkg, JsonWriter& json);
// A colour as a number, null for the system's colour.
void JsonColour(JsonWriter& json, std::string_view name, uint32_t colour);

}  // namespace wrenly::inspector
