#include "console/menu_loop.hpp"

#include <array>
#include <cctype>
#include <optional>
#include <string_view>

#include "console/console.hpp"
#include "console/method_runs.hpp"

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
    console.prompt("?: ", Recall::nothing);
    const std::optional<char> answer = console.readChoice();
    if (!answer) {
      return std::nullopt;
    }
    // Widened to unsigned char: a byte above 0x7F must not reach toupper as a negative value.
    const auto method = static_cast<char>(std::toupper(static_cast<unsigned char>(*answer)));
    if (isMenuChoice(method)) {
      return method;
    }
    console.endLine();
    console.writeLine("Invalid Input. Please choose again");
    console.endLine();
  }
}

void runMethod(char method, std::string_view input, Console& console) {
  switch (method) {
    case 'M':
      runPersonalMethod(input, console);
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

void runDialogue(Console& console) {
  for (;;) {
    const std::optional<char> method = askForMethod(console);
    if (!method) {
      console.endLine();  // leaves the shell's prompt on a line of its own
      return;
    }
    if (*method == 'Q') {
      return;
    }
    console.writeLine("Enter some text to be encrypted (max 800 chars):");
    console.prompt("", Recall::texts);
    const std::optional<std::string> input = console.readLine();
    if (!input) {
      console.stopAtEndOfInput("a text");
    }
    runMethod(*method, *input, console);
  }
}

}  // namespace

int runMenuLoop(std::istream& in, std::ostream& out, std::ostream& err, LineEditor* editor) {
  Console console(in, out, editor);
  try {
    runDialogue(console);
    return 0;
  } catch (const DialogueStopped& stop) {
    if (!stop.message.empty()) {
      err << stop.message << std::endl;
    }
    return stop.status;
  }
}
