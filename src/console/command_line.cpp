#include "command_line.hpp"

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "console.hpp"
#include "descriptor_buffers.hpp"
#include "line_editor.hpp"
#include "menu_loop.hpp"

namespace {

constexpr std::string_view usage =
    "Usage: ciphers [--help | --version]\n"
    "Try the Vigenere cipher, ROT13 and a personal method on a line of text.\n"
    "\n"
    "ciphers shows a menu on standard output and reads the choice, the text and\n"
    "the Vigenere key from standard input, until Q is chosen or the input ends.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 after Q, or when the input ends at the menu; 1 when the input\n"
    "ends in the middle of a request or cannot be read, when the output cannot be\n"
    "written, or when memory runs out; 2 for an argument it does not know.\n"
    "\n"
    "See ciphers(1) for the whole dialogue.\n";

constexpr std::string_view versionLine = "ciphers " CIPHERS_VERSION "\n";

int show(std::istream& in, std::ostream& out, std::string_view text) {
  Console console(in, out);
  try {
    console.write(text);
    console.flush();
    return 0;
  } catch (const DialogueStopped& stop) {
    return reportStop(std::cerr, stop);
  }
}

int refuse(std::string_view argument) {
  std::cerr << "ciphers: unexpected argument '" << argument << "'\n"
            << "Try 'ciphers --help'.\n";
  return 2;
}

bool isOption(std::string_view argument) {
  return argument == "--help" || argument == "--version";
}

}  // namespace

int runProgram(std::span<char* const> argv) {
  const std::span<char* const> arguments = argv.empty() ? argv : argv.subspan(1);
  DescriptorOutput output(1);
  std::ostream out(&output);
  DescriptorInput input(0);
  std::istream in(&input);
  if (arguments.empty()) {
    const std::unique_ptr<LineEditor> editor = openLineEditor();
    if (editor) {
      in.rdbuf(editor.get());
    }
    return runMenuLoop(in, out, std::cerr, {editor.get(), currentTime});
  }
  const std::string_view first = arguments[0];
  if (arguments.size() > 1 || !isOption(first)) {
    return refuse(isOption(first) ? arguments[1] : first);
  }
  return show(in, out, first == "--help" ? usage : versionLine);
}
