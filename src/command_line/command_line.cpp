#include "command_line.hpp"

#include <getopt.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console.hpp"
#include "crack_filter.hpp"
#include "descriptor_buffers.hpp"
#include "kernels.hpp"
#include "line_editor.hpp"
#include "menu_loop.hpp"
#include "method_filters.hpp"
#include "run_filter.hpp"

namespace {

using Arguments = std::span<char* const>;
using Files = std::vector<std::string>;

constexpr std::string_view usage =
    "Usage: ciphers [--help | --version]\n"
    "       ciphers rot13 [-d] [FILE...]\n"
    "       ciphers vigenere -k KEY [-d] [FILE...]\n"
    "       ciphers vigenere --crack [-d] [FILE...]\n"
    "       ciphers personal [-d] [--seed N] [FILE...]\n"
    "Try the Vigenere cipher, ROT13 and a personal method on a line of text, or run\n"
    "one of them over files and pipes, both ways.\n"
    "\n"
    "With no arguments, ciphers shows a menu on standard output and reads the\n"
    "choice, the text and the Vigenere key from standard input, until Q is chosen\n"
    "or the input ends.\n"
    "\n"
    "With a method, ciphers encrypts, or with -d decrypts, each FILE in turn (or\n"
    "standard input, when there is no FILE or FILE is -) to standard output:\n"
    "  rot13      moves each ASCII letter 13 places on, keeping its case\n"
    "  vigenere   enciphers the letters under KEY, which runs on across lines and\n"
    "             files\n"
    "  personal   turns each line into a line of digits by a random walk\n"
    "'ciphers vigenere --crack' finds the key of a Vigenere ciphertext itself.\n"
    "'ciphers METHOD --help' tells more.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 when all went well, after Q in the dialogue or when its input\n"
    "ends at the menu; 1 when the dialogue's input ends in the middle of a request,\n"
    "when the input cannot be read, a FILE cannot be opened or read, a line is no\n"
    "digit string of the personal method, the input to --crack holds no letter,\n"
    "the output cannot be written, or memory runs out; 2 for an unknown method or\n"
    "option, or a bad key or seed.\n"
    "\n"
    "See ciphers(1) for the whole dialogue and every method.\n";

constexpr std::string_view versionLine = "ciphers " CIPHERS_VERSION "\n";

constexpr std::string_view rot13Usage =
    "Usage: ciphers rot13 [-d] [FILE...]\n"
    "Moves each of the 52 ASCII letters 13 places on within its alphabet, keeping\n"
    "its case; every other byte stays as it is. Reads each FILE in turn (standard\n"
    "input when there is no FILE or FILE is -) and writes to standard output.\n"
    "\n"
    "  -d, --decrypt  decrypt, which is the same rotation\n"
    "      --help     show this help and exit\n"
    "\n"
    "See ciphers(1).\n";

constexpr std::string_view vigenereUsage =
    "Usage: ciphers vigenere -k KEY [-d] [FILE...]\n"
    "       ciphers vigenere --crack [-d] [FILE...]\n"
    "Enciphers the ASCII letters, upper-cased, with the Vigenere cipher under KEY;\n"
    "every other byte stays as it is and uses up no key letter. The key runs on\n"
    "across lines and files: the whole input is one message. Reads each FILE in\n"
    "turn (standard input when there is no FILE or FILE is -) and writes to\n"
    "standard output.\n"
    "\n"
    "  -k, --key KEY  the key: one or more of the letters A-Z and a-z\n"
    "  -d, --decrypt  decipher\n"
    "      --crack    find the key from the ciphertext alone and print it, a line of\n"
    "                 capitals; with -d, print the text deciphered under it instead\n"
    "                 and the key on standard error. Keys of up to 40 letters are\n"
    "                 found; a text of fewer than 12 letters a key letter is too\n"
    "                 short to be sure of the key, and standard error says so.\n"
    "      --help     show this help and exit\n"
    "\n"
    "See ciphers(1).\n";

constexpr std::string_view personalUsage =
    "Usage: ciphers personal [-d] [--seed N] [FILE...]\n"
    "Turns each line of the input into a line of digits, the ciphertext that the\n"
    "dialogue's personal method shows for it. The output ends with a line end\n"
    "exactly when the input does. With -d, reads such lines (ended by LF or CR LF)\n"
    "and writes their texts back; a line that is no such digit string stops it.\n"
    "Reads each FILE in turn (standard input when there is no FILE or FILE is -)\n"
    "and writes to standard output.\n"
    "\n"
    "  -d, --decrypt  decrypt lines of digits\n"
    "      --seed N   draw from a generator seeded with N, 0 to 4294967295, rather\n"
    "                 than with the clock: the same N gives the same output\n"
    "      --help     show this help and exit\n"
    "\n"
    "See ciphers(1).\n";

// The values getopt_long gives for the long options without a short form.
constexpr int helpOption = 0x100;
constexpr int versionOption = 0x101;
constexpr int seedOption = 0x102;
constexpr int crackOption = 0x103;

constexpr option endOfOptions{nullptr, 0, nullptr, 0};

// A method's command: its name, its help, and its options as getopt_long takes them.
struct MethodCommand {
  std::string_view name;
  std::string_view usage;
  const char*
      shortOptions;  // begins with ':', so that a missing value is told from an unknown option
  std::span<const option> longOptions;
};

int show(std::string_view text) {
  DescriptorOutput output(1);
  std::ostream out(&output);
  DescriptorInput input(0);
  std::istream in(&input);
  Console console(in, out);
  try {
    console.write(text);
    console.flush();
    return 0;
  } catch (const DialogueStopped& stop) {
    return reportStop(std::cerr, stop);
  }
}

// Refuses the command line with status 2, pointing to the help of the command refused.
int refuse(std::string_view message, std::string_view command = "ciphers") {
  std::cerr << "ciphers: " << message << "\n"
            << "Try '" << command << " --help'.\n";
  return 2;
}

int refuseArgument(std::string_view argument) {
  return refuse("unexpected argument '" + std::string(argument) + "'");
}

// The option that getopt_long has just refused, as it was typed.
std::string refusedOption(Arguments arguments) {
  const std::string_view typed = arguments[static_cast<std::size_t>(optind) - 1];
  if (typed.starts_with("--") || optopt == 0) {
    return std::string(typed.substr(0, typed.find('=')));
  }
  return std::string{'-', static_cast<char>(optopt)};
}

// Says what is wrong with the option that getopt_long has just refused.
std::string refusedOptionMessage(Arguments arguments) {
  const std::string typed = refusedOption(arguments);
  // A long option that takes no value is refused with the value given to it.
  if (typed.starts_with("--") && optopt != 0) {
    return "option '" + typed + "' takes no value";
  }
  return "unknown option '" + typed + "'";
}

using OptionHandler = std::function<void(int option, const char* value)>;

// Parses a method's arguments, its name first, handing each option and its value to `handle`.
// Gives the FILE operands, or the exit status where the run ends here: 0 after --help, 2 for an
// unknown option or one without its value.
std::variant<Files, int> parseMethodArguments(const MethodCommand& command, Arguments arguments,
                                              const OptionHandler& handle) {
  const std::string helpCommand = "ciphers " + std::string(command.name);
  optind = 0;  // getopt_long starts afresh on a new argument vector
  opterr = 0;
  for (;;) {
    const int parsed = getopt_long(static_cast<int>(arguments.size()), arguments.data(),
                                   command.shortOptions, command.longOptions.data(), nullptr);
    switch (parsed) {
      case -1:
        return Files(arguments.begin() + optind, arguments.end());
      case helpOption:
        return show(command.usage);
      case '?':
        return refuse(refusedOptionMessage(arguments), helpCommand);
      case ':':
        return refuse("option '" + refusedOption(arguments) + "' needs a value", helpCommand);
      default:
        handle(parsed, optarg);
    }
  }
}

// Why a Vigenere key is refused; nothing for a good one.
std::optional<std::string> keyRefusal(const std::optional<std::string>& key) {
  if (!key) {
    return "vigenere needs a key: -k KEY";
  }
  if (key->empty()) {
    return "the key is empty: it must be one or more of the letters A-Z and a-z";
  }
  if (isVigenereKey(*key)) {
    return std::nullopt;
  }
  return "the key '" + *key + "' holds a character other than the letters A-Z and a-z";
}

std::optional<std::uint32_t> parseSeed(std::string_view text) {
  std::uint32_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seed);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return seed;
}

int runRot13Command(Arguments arguments) {
  static constexpr std::array options{option{"decrypt", no_argument, nullptr, 'd'},
                                      option{"help", no_argument, nullptr, helpOption},
                                      endOfOptions};
  const MethodCommand command{"rot13", rot13Usage, ":d", options};
  const auto parsed = parseMethodArguments(command, arguments, [](int, const char*) {});
  if (const int* status = std::get_if<int>(&parsed)) {
    return *status;
  }
  Rot13Filter filter;
  return runFilter(filter, std::get<Files>(parsed), std::cerr);
}

struct VigenereArguments {
  std::optional<std::string> key;
  bool decrypt = false;
  bool crack = false;
};

int runVigenere(const VigenereArguments& chosen, const Files& files) {
  if (chosen.crack) {
    if (chosen.key) {
      return refuse("--crack finds the key itself: it takes no key", "ciphers vigenere");
    }
    return runVigenereCrack(files, chosen.decrypt, std::cerr);
  }
  if (const auto refusal = keyRefusal(chosen.key)) {
    return refuse(*refusal, "ciphers vigenere");
  }
  using Direction = VigenereFilter::Direction;
  VigenereFilter filter(*chosen.key, chosen.decrypt ? Direction::decipher : Direction::encipher);
  return runFilter(filter, files, std::cerr);
}

int runVigenereCommand(Arguments arguments) {
  static constexpr std::array options{
      option{"key", required_argument, nullptr, 'k'}, option{"decrypt", no_argument, nullptr, 'd'},
      option{"crack", no_argument, nullptr, crackOption},
      option{"help", no_argument, nullptr, helpOption}, endOfOptions};
  const MethodCommand command{"vigenere", vigenereUsage, ":k:d", options};
  VigenereArguments chosen;
  const auto parsed =
      parseMethodArguments(command, arguments, [&chosen](int option, const char* value) {
        switch (option) {
          case 'k':
            chosen.key = value;
            break;
          case 'd':
            chosen.decrypt = true;
            break;
          case crackOption:
            chosen.crack = true;
            break;
          default:
            break;
        }
      });
  if (const int* status = std::get_if<int>(&parsed)) {
    return *status;
  }
  return runVigenere(chosen, std::get<Files>(parsed));
}

struct PersonalArguments {
  std::optional<std::string> seed;
  bool decrypt = false;
};

int runPersonal(const PersonalArguments& chosen, const Files& files) {
  std::optional<std::uint32_t> seed;
  if (chosen.seed) {
    seed = parseSeed(*chosen.seed);
    if (!seed) {
      return refuse(
          "the seed must be a whole number from 0 to 4294967295, not '" + *chosen.seed + "'",
          "ciphers personal");
    }
  }
  if (chosen.decrypt) {
    PersonalDecryptFilter filter;
    return runFilter(filter, files, std::cerr);
  }
  PersonalEncryptFilter filter(seed.value_or(static_cast<std::uint32_t>(std::time(nullptr))));
  return runFilter(filter, files, std::cerr);
}

int runPersonalCommand(Arguments arguments) {
  static constexpr std::array options{option{"decrypt", no_argument, nullptr, 'd'},
                                      option{"seed", required_argument, nullptr, seedOption},
                                      option{"help", no_argument, nullptr, helpOption},
                                      endOfOptions};
  const MethodCommand command{"personal", personalUsage, ":d", options};
  PersonalArguments chosen;
  const auto parsed =
      parseMethodArguments(command, arguments, [&chosen](int option, const char* value) {
        if (option == seedOption) {
          chosen.seed = value;
        } else if (option == 'd') {
          chosen.decrypt = true;
        }
      });
  if (const int* status = std::get_if<int>(&parsed)) {
    return *status;
  }
  return runPersonal(chosen, std::get<Files>(parsed));
}

int runDialogue() {
  DescriptorOutput output(1);
  std::ostream out(&output);
  DescriptorInput input(0);
  std::istream in(&input);
  const std::unique_ptr<LineEditor> editor = openLineEditor();
  if (editor) {
    in.rdbuf(editor.get());
  }
  return runMenuLoop(in, out, std::cerr, {editor.get(), currentTime});
}

int runMethod(Arguments arguments) {
  const std::string_view method = arguments.front();
  if (method == "rot13") {
    return runRot13Command(arguments);
  }
  if (method == "vigenere") {
    return runVigenereCommand(arguments);
  }
  if (method == "personal") {
    return runPersonalCommand(arguments);
  }
  return refuse("unknown method '" + std::string(method) + "'");
}

}  // namespace

int runProgram(std::span<char* const> argv) {
  if (argv.size() <= 1) {
    return runDialogue();
  }
  static constexpr std::array options{option{"help", no_argument, nullptr, helpOption},
                                      option{"version", no_argument, nullptr, versionOption},
                                      endOfOptions};
  optind = 0;
  opterr = 0;
  // '+' stops at the method's name: its options are its own.
  const int parsed =
      getopt_long(static_cast<int>(argv.size()), argv.data(), "+:", options.data(), nullptr);
  if (parsed == -1) {
    return optind < static_cast<int>(argv.size()) ? runMethod(argv.subspan(optind)) : runDialogue();
  }
  if (parsed != helpOption && parsed != versionOption) {
    return refuse(refusedOptionMessage(argv));
  }
  if (argv.size() > 2) {
    return refuseArgument(argv[2]);
  }
  if (parsed == helpOption) {
    return show(usage);
  }
  return show(std::string(versionLine) + "kernels: " + describeKernels() + "\n");
}
