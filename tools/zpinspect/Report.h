#pragma once

#include <string>
#include <string_view>

#include "tools/zpinspect/Inspection.h"

// zpinspect's output: a report for a person, or the same as JSON for scripts.
// Both are UTF-8; names and texts from the stream are code page 1252 bytes,
// the file name is UTF-8 as the command line gave it.
namespace zp::inspect {

// The version of the JSON layout; it changes when a field changes meaning or goes.
inline constexpr int kJsonSchema = 2;
// The verdict when the module builds its tree.
inline constexpr char kTreeBuiltVerdict[] = "tree built";

// Code page 1252 bytes as UTF-8 for a person: what cannot be seen (control
// bytes, bytes the code page leaves undefined, no-break and soft hyphen) as
// \xHH, and a backslash doubled, so that every byte can be told.
std::string ReadableText(std::string_view bytes);
// A JSON string literal of the same bytes read as code page 1252; undefined
// bytes become the code points of the same value, as Windows maps them.
std::string JsonText(std::string_view bytes);

std::string TextReport(const Inspection& inspection, const std::string& fileName);
std::string JsonReport(const Inspection& inspection, const std::string& fileName);

}  // namespace zp::inspect
