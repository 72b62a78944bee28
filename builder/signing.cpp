#include "builder/signing.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "builder/output_files.h"
#include "builder/read_file.h"
#include "builder/run_command.h"
#include "builder/utf8_path.h"

namespace wrenly::builder {
namespace fs = std::filesystem;

namespace {
constexpr std::string_view kIn = "{in}", kOut = "{out}";

// One pass, so that a path holding "{out}" is not replaced again.
std::string Fill(const std::string& arg, const std::string& in, const std::string& out) {
  std::string filled;
  for (size_t i = 0; i < arg.size();) {
    std::string_view rest = std::string_view(arg).substr(i);
    if (rest.starts_with(kIn)) filled += in, i += kIn.size();
    else if (rest.starts_with(kOut)) filled += out, i += kOut.size();
    else filled += arg[i++];
  }
  return filled;
}
}  // namespace

SigningCommand ParseSigningCommand(std::string_view text, const Where& where) {
  SigningCommand command{where, {}};
  std::string arg;
  bool inArg = false;
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quote == '"' && c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
      arg += text[++i];
    } else if (quote) {
      if (c == quote) quote = 0;
      else arg += c;
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inArg) command.args.push_back(std::move(arg));
      arg.clear();
      inArg = false;
      continue;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else {
      arg += c;
    }
    inArg = true;
  }
  if (quote) throw BuildError(where, fmt::format("the signing command leaves a {} quote open", quote));
  if (inArg) command.args.push_back(std::move(arg));
  if (command.args.empty()) throw BuildError(where, "the signing command is empty");
  for (std::string_view key : {kIn, kOut}) {
    bool found = false;
    for (const auto& a : command.args) found = found || a.find(key) != std::string::npos;
    if (!found)
      throw BuildError(where,
                       fmt::format("the signing command needs {} and {}, the files it reads and writes", kIn, kOut));
  }
  return command;
}

void SignFile(const SigningCommand& command, const fs::path& in, const fs::path& out, std::string_view what) {
  std::vector<std::string> args;
  for (const auto& a : command.args) args.push_back(Fill(a, Utf8(in), Utf8(out)));
  CommandEnd end = RunCommand(args);
  ThrowIfInterrupted();
  std::string failed = fmt::format("signing {} failed: {}", what, args[0]);
  if (!end.started)
    throw BuildError(command.where, fmt::format("{} cannot start ({})", failed, end.problem), Failure::Signing);
  if (end.signal)
    throw BuildError(command.where, fmt::format("{} ended by signal {}", failed, end.signal), Failure::Signing);
  if (end.status)
    throw BuildError(command.where, fmt::format("{} exited with status {}", failed, end.status), Failure::Signing);
  std::error_code ec;
  if (fs::file_size(out, ec) == 0 || ec)
    throw BuildError(command.where, fmt::format("{} exited with status 0 but wrote nothing to {{out}}", failed),
                     Failure::Signing);
}

std::vector<uint8_t> SignProgram(const SigningCommand& command, const std::vector<uint8_t>& program, OutputFiles& files,
                                 const fs::path& output) {
  fs::path in = files.Name(output), out = files.Name(output);
  std::FILE* stream = OpenNewFile(in, false);
  if (!stream)
    throw BuildError(fmt::format("{}: cannot write in this folder ({})", Utf8(output), std::strerror(errno)),
                     Failure::Output);
  WriteOut(stream, program.data(), program.size(), in);
  if (std::fclose(stream) != 0)
    throw BuildError(fmt::format("{}: writing failed ({})", Utf8(in), std::strerror(errno)), Failure::Output);
  SignFile(command, in, out, "the uninstaller");
  auto bytes = ReadWholeFile(out);
  if (!bytes || bytes->empty())
    throw BuildError(fmt::format("{}: cannot read the signed uninstaller", Utf8(out)), Failure::Signing);
  return std::move(*bytes);
}

namespace {

// Signing rewrites the program's header and appends a certificate, but the
// package behind the program must come through byte for byte: a tool that
// drops or rewrites what follows the image would ship a setup program
// without its product.
bool KeepsPackage(const fs::path& in, const fs::path& out, uint64_t from) {
  std::ifstream a(in, std::ios::binary), b(out, std::ios::binary);
  a.seekg(static_cast<std::streamoff>(from));
  b.seekg(static_cast<std::streamoff>(from));
  std::vector<char> x(1 << 20), y(1 << 20);
  while (a && b) {
    a.read(x.data(), static_cast<std::streamsize>(x.size()));
    b.read(y.data(), a.gcount());
    if (b.gcount() != a.gcount() || !std::equal(x.begin(), x.begin() + a.gcount(), y.begin())) return false;
    if (a.eof()) return true;
  }
  return false;
}

}  // namespace

uint64_t SignSetup(const SigningCommand& command, std::FILE* setup, OutputFiles& files, const fs::path& output,
                   uint64_t packageStart) {
  fs::path in = files.Close(setup), out = files.Name(output);
  SignFile(command, in, out, "the setup program");
  if (!KeepsPackage(in, out, packageStart))
    throw BuildError(command.where,
                     fmt::format("signing the setup program failed: {} changed the package that follows the "
                                 "program (a signing tool may only change the program's header and append)",
                                 command.args[0]),
                     Failure::Signing);
  std::error_code ec;
  uint64_t size = fs::file_size(out, ec);
  fs::rename(out, in, ec);
  if (ec) throw BuildError(fmt::format("{}: cannot be written ({})", Utf8(in), ec.message()), Failure::Output);
  return size;
}

}  // namespace wrenly::builder
