#include "method_runs.hpp"

#include <string>

#include "personal_method.hpp"
#include "result_report.hpp"
#include "rot13.hpp"
#include "vigenere.hpp"

namespace {

// Asks until a key is typed that can encipher the text, and returns it. A text without letters
// takes any key, and also the end of the input instead of one.
std::string askForKey(std::string_view input, Console& console) {
  for (;;) {
    console.endLine();
    // A text holds at most maxTextLength letters, so no key character beyond them is ever applied.
    const std::optional<std::string> key = console.readWord("Key(with no spaces): ", maxTextLength);
    if (acceptsKey(input, key.value_or(""))) {
      return key.value_or("");
    }
    if (!key) {
      console.stopAtEndOfInput("a key");
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
  const std::string key = askForKey(input, console);
  const VigenereRows rows = encipherVigenere(input, key);
  printResultReport(console, {rows.plaintext, rows.keyletter, rows.ciphertext, rows.decrypttext,
                              vigenereInformation});
}

Mt19937 ClockSeededGenerators::now() {
  const std::time_t second = clock_();
  if (!seeded_ || second != second_) {
    seeded_ = seededFromClock(second);
    second_ = second;
  }
  return *seeded_;
}

void runPersonalMethod(std::string_view input, Console& console,
                       ClockSeededGenerators& generators) {
  Mt19937 generator = generators.now();
  const PersonalRows rows = encipherPersonal(input, generator);
  printResultReport(console,
                    {input, std::nullopt, rows.ctext, rows.plaintext, personalMethodInformation});
}
