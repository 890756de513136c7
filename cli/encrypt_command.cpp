// pemar encrypt / pemar decrypt: the enciphered copy of a whole file, and
// back. The key is built into the library: this hides a file's content from
// casual view and is no protection against a determined reader.

#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "Registry.h"
#include "pemar/persist/Encryption.h"

namespace pemar::cli {
namespace {

namespace fs = std::filesystem;

struct CipherOptions {
  std::string in;
  std::string out;
  bool json = false;
};

int RunCipher(const CipherOptions& options, bool encipher) {
  const CipherFileStatus status =
      encipher ? EncryptFileWithStatus(options.in, options.out)
               : DecryptFileWithStatus(options.in, options.out);
  std::error_code ec;
  switch (status) {
    case CipherFileStatus::kOk:
      break;
    case CipherFileStatus::kSourceUnreadable:
      PrintError(fs::exists(options.in, ec)
                     ? "cannot read " + options.in + "; " + options.out +
                           " was left as it was"
                     : options.in + " does not exist; " + options.out +
                           " was left as it was");
      return kExitFailed;
    case CipherFileStatus::kTargetUnwritable:
      PrintError("cannot write " + options.out + " (" + options.out +
                 " was left as it was)");
      return kExitFailed;
  }
  const auto bytes = fs::file_size(options.out, ec);
  if (options.json) {
    nlohmann::json j = {
        {"operation", encipher ? "encrypt" : "decrypt"},
        {"source", options.in},
        {"target", options.out},
        {"bytes", ec ? nlohmann::json(nullptr) : nlohmann::json(bytes)}};
    std::cout << j.dump(2) << "\n";
  } else {
    std::cout << (encipher ? "enciphered " : "deciphered ") << options.in
              << " into " << options.out;
    if (!ec) std::cout << " (" << bytes << " bytes)";
    std::cout << "\n";
  }
  return kExitOk;
}

void AddCipherCommand(CLI::App& app, int& exit_code, bool encipher) {
  auto* cmd = app.add_subcommand(
      encipher ? "encrypt" : "decrypt",
      encipher ? "Write an enciphered copy of a file (obfuscation with the "
                 "library's built-in key, not security)"
               : "Turn a copy made by `pemar encrypt` back into the original");
  auto options = std::make_shared<CipherOptions>();
  cmd->add_option("in", options->in, "File to read")->required();
  cmd->add_option("out", options->out,
                  "File to write; replaced only when all went well (may be "
                  "the same as in)")
      ->required();
  cmd->add_flag("--json", options->json, "Print as JSON");
  cmd->callback([options, &exit_code, encipher] {
    exit_code = RunCipher(*options, encipher);
  });
}

CommandRegistration encrypt_registration(510, [](CLI::App& app,
                                                 int& exit_code) {
  AddCipherCommand(app, exit_code, /*encipher=*/true);
});
CommandRegistration decrypt_registration(511, [](CLI::App& app,
                                                 int& exit_code) {
  AddCipherCommand(app, exit_code, /*encipher=*/false);
});

}  // namespace
}  // namespace pemar::cli
