#include "menu_loop.hpp"

#include <array>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "ascii.hpp"
#include "console.hpp"

namespace {

// clang-format off
constexpr std::array<std::string_view, 7> menu{
    "Choose Method",
    "------------------",
    "V: Vigenere",
    "R: ROT13",
    "M: My own personal method",
    "Q: quit",
    "------------------",
};
// clang-format on

bool isMenuChoice(char method) {
  return std::string_view("VRMQ").find(method) != std::string_view::npos;
}

// Shows the menu until a valid choice is typed; returns it upper-cased, or nothing at the end of
// the input.
std::optional<char> askForMethod(Console& console) {
  for (;;) {
    console.endLine();
    for (const std::string_view line : menu) {
      console.writeLine(line);
    }
    const std::optional<char> answer = console.readChoice("?: ");
    if (!answer) {
      return std::nullopt;
    }
    const char method = toAsciiUpper(*answer);
    if (isMenuChoice(method)) {
      return method;
    }
    console.endLine();
    console.writeLine("Invalid Input. Please choose again");
    console.endLine();
  }
}

void runMethod(char method, std::string_view input, Console& console,
               ClockSeededGenerators& generators) {
  switch (method) {
    case 'M':
      runPersonalMethod(input, console, generators);
      break;
    case 'R':
      runRot13(input, console);
      break;
    case 'V':
      runVigenere(input, console);
      break;
    default:
      break;
  }
}

// The text prompt names the longest text that the console reads.
const std::string& textPrompt() {
  static const std::string prompt =
      "Enter some text to be encrypted (max " + std::to_string(maxTextLength) + " chars):";
  return prompt;
}

void runDialogue(Console& console, Clock clock) {
  ClockSeededGenerators generators(clock);
  for (;;) {
    const std::optional<char> method = askForMethod(console);
    if (!method) {
      console.endLine();  // leaves the shell's prompt on a line of its own
      return;
    }
    if (*method == 'Q') {
      return;
    }
    console.writeLine(textPrompt());
    const std::optional<std::string> input = console.readText();
    if (!input) {
      console.stopAtEndOfInput("a text");
    }
    runMethod(*method, *input, console, generators);
  }
}

}  // namespace

int runMenuLoop(std::istream& in, std::ostream& out, std::ostream& err,
                const DialogueOptions& options) {
  try {
    Console console(in, out, options.editor);
    runDialogue(console, options.clock);
    return 0;
  } catch (const DialogueStopped& stop) {
    return reportStop(err, stop);
  } catch (const std::bad_alloc&) {
    return reportStop(err, {"ciphers: out of memory"});
  }
}
