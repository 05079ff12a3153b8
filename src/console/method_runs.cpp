#include "console/method_runs.hpp"

#include <ctime>

#include "ciphers/personal_method.hpp"
#include "ciphers/rot13.hpp"
#include "ciphers/vigenere.hpp"
#include "console/result_report.hpp"

namespace {

// Asks until the key can encipher the text; a text without letters takes any key, even none.
VigenereRows askForKey(std::string_view input, Console& console) {
  for (;;) {
    console.endLine();
    console.prompt("Key(with no spaces): ", Recall::keys);
    const std::optional<std::string> key = console.readWord();
    if (!key && holdsLetter(input)) {
      console.stopAtEndOfInput("a key");
    }
    if (auto rows = encipherVigenere(input, key.value_or(""))) {
      return std::move(*rows);
    }
    console.writeLine("Invalid Key. Please use letters only");
  }
}

}  // namespace

void runRot13(std::string_view input, Console& console) {
  const Rot13Rows rows = encipherRot13(input);
  printResultReport(console,
                    {input, std::nullopt, rows.ciphertext, rows.decrypttext, rot13Information});
}

void runVigenere(std::string_view input, Console& console) {
  const VigenereRows rows = askForKey(input, console);
  printResultReport(console, {rows.plaintext, rows.keyletter, rows.ciphertext, rows.decrypttext,
                              vigenereInformation});
}

void runPersonalMethod(std::string_view input, Console& console) {
  std::mt19937 generator = seededFromClock(std::time(nullptr));
  const PersonalRows rows =
      encipherPersonal(input, [&generator] { return static_cast<std::uint32_t>(generator()); });
  printResultReport(console,
                    {input, std::nullopt, rows.ctext, rows.plaintext, personalMethodInformation});
}
