// The author's signing command, run on the uninstaller before it is packed
// and on the finished setup program before it gets its name.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "builder/error.h"

namespace wrenly::builder {

struct SigningCommand {
  Where where;                    // the project line, or "--sign"
  std::vector<std::string> args;  // {in} and {out} not yet replaced
};

// Blanks separate arguments; '...' keeps everything as written; "..." too,
// except that \" and \\ stand for " and \. A backslash elsewhere is an
// ordinary character, so Windows paths need no doubling. Throws (Input)
// on an open quote, an empty command, or one without {in} and {out}.
SigningCommand ParseSigningCommand(std::string_view text, const Where& where);

// Runs the command on `in`; it must leave `out`, not empty. Throws
// (Signing) naming `what` and how the command ended.
void SignFile(const SigningCommand& command, const std::filesystem::path& in, const std::filesystem::path& out,
              std::string_view what);

class OutputFiles;

// The program signed, through two temporary files beside `output`.
std::vector<uint8_t> SignProgram(const SigningCommand& command, const std::vector<uint8_t>& program, OutputFiles& files,
                                 const std::filesystem::path& output);

// Closes the setup program and signs it into a new temporary file, which
// takes the place of the unsigned one; returns its size. The bytes from
// `packageStart` on must come back unchanged.
uint64_t SignSetup(const SigningCommand& command, std::FILE* setup, OutputFiles& files,
                   const std::filesystem::path& output, uint64_t packageStart);

}  // namespace wrenly::builder
