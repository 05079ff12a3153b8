#include "command_line.hpp"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
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
#include "help_texts.hpp"
#include "kernels.hpp"
#include "line_editor.hpp"
#include "menu_loop.hpp"
#include "method_filters.hpp"
#include "method_runs.hpp"
#include "mt19937.hpp"
#include "personal_method.hpp"
#include "run_filter.hpp"
#include "secret.hpp"
#include "solve_filter.hpp"
#include "vigenere_key.hpp"

namespace {

using Arguments = std::span<char* const>;
using Files = std::vector<std::string>;

// The values getopt_long gives for the long options without a short form.
constexpr int helpOption = 0x100;
constexpr int versionOption = 0x101;
constexpr int seedOption = 0x102;
constexpr int crackOption = 0x103;
constexpr int explainOption = 0x104;
constexpr int jsonOption = 0x105;
constexpr int keyFileOption = 0x106;

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

// What a method command's options chose. Each command takes only some of the options; the
// others keep their defaults.
struct MethodArguments {
  bool decrypt = false;
  std::optional<Secret> key;
  std::optional<std::string> keyFile;
  bool crack = false;
  std::optional<ExplanationFormat> explanation;
  bool explanationTwice = false;  // both --explain and --json
  std::optional<std::string> seed;
};

void choose(MethodArguments& chosen, int option, const char* value) {
  switch (option) {
    case 'd':
      chosen.decrypt = true;
      break;
    case 'k':
      chosen.key = Secret(value, value + std::strlen(value));
      break;
    case keyFileOption:
      chosen.keyFile = value;
      break;
    case crackOption:
      chosen.crack = true;
      break;
    case explainOption:
    case jsonOption: {
      const auto format = option == jsonOption ? ExplanationFormat::json : ExplanationFormat::text;
      chosen.explanationTwice |= chosen.explanation && *chosen.explanation != format;
      chosen.explanation = format;
      break;
    }
    case seedOption:
      chosen.seed = value;
      break;
    default:
      break;
  }
}

int runRot13(const MethodArguments& /*chosen*/, const Files& files) {
  Rot13Filter filter;
  return runFilter(filter, files, std::cerr);
}

bool readsStandardInput(const Files& files) {
  return files.empty() || std::find(files.begin(), files.end(), "-") != files.end();
}

// The key from -k, from --key-file, or else typed at the terminal.
KeyOrStatus vigenereKey(const MethodArguments& chosen, const Files& files) {
  if (chosen.key && chosen.keyFile) {
    return refuse("-k and --key-file both give the key: give one of them", "ciphers vigenere");
  }
  if (chosen.key) {
    if (const auto refusal = keyRefusal({chosen.key->data(), chosen.key->size()})) {
      return refuse(*refusal, "ciphers vigenere");
    }
    return *chosen.key;
  }
  if (chosen.keyFile) {
    if (*chosen.keyFile == "-" && readsStandardInput(files)) {
      return refuse("the key file and the text cannot both be standard input", "ciphers vigenere");
    }
    return readKeyFile(*chosen.keyFile);
  }
  return askForKey(!chosen.decrypt);
}

// A usage error of one line, status 2.
int refuseInOneLine(std::string_view message) {
  std::cerr << "ciphers: " << message << " (see 'ciphers vigenere --help')\n";
  return 2;
}

int runVigenere(const MethodArguments& chosen, const Files& files) {
  if (chosen.explanation && !chosen.crack) {
    return refuseInOneLine("--explain and --json go with --crack");
  }
  if (chosen.explanationTwice) {
    return refuseInOneLine("--explain and --json go one at a time");
  }
  if (chosen.crack) {
    if (chosen.key || chosen.keyFile) {
      return refuse("--crack finds the key itself: it takes no key", "ciphers vigenere");
    }
    if (chosen.explanation && chosen.decrypt) {
      return refuseInOneLine("--explain and --json go without -d");
    }
    if (chosen.explanation) {
      return runVigenereExplanation(files, *chosen.explanation, std::cerr);
    }
    return runVigenereCrack(files, chosen.decrypt, std::cerr);
  }
  const KeyOrStatus key = vigenereKey(chosen, files);
  if (const int* status = std::get_if<int>(&key)) {
    return *status;
  }
  const Secret& letters = std::get<Secret>(key);
  using Direction = VigenereFilter::Direction;
  VigenereFilter filter({letters.data(), letters.size()},
                        chosen.decrypt ? Direction::decipher : Direction::encipher);
  return runFilter(filter, files, std::cerr);
}

int runPersonal(const MethodArguments& chosen, const Files& files) {
  std::optional<std::uint32_t> seed;
  if (chosen.seed) {
    seed = parseSeed(*chosen.seed);
    if (!seed) {
      return refuse(seedRefusal(*chosen.seed), "ciphers personal");
    }
  }
  if (chosen.decrypt) {
    PersonalDecryptFilter filter;
    return runFilter(filter, files, std::cerr);
  }
  PersonalEncryptFilter filter(seed ? Mt19937(*seed) : seededFromClock(currentTime()));
  return runFilter(filter, files, std::cerr);
}

// solve's one option, --json, is parsed as the explanation's format.
int runSolveCommand(const MethodArguments& chosen, const Files& files) {
  return runSolve(files, chosen.explanation.has_value(), std::cerr);
}

// A method's command: its name, its help, its options as getopt_long takes them, and its run.
struct MethodCommand {
  std::string_view name;
  std::string_view (*help)();
  const char*
      shortOptions;  // begins with ':', so that a missing value is told from an unknown option
  std::span<const option> longOptions;
  int (*run)(const MethodArguments& chosen, const Files& files);
};

constexpr option decryptEntry{"decrypt", no_argument, nullptr, 'd'};
constexpr option helpEntry{"help", no_argument, nullptr, helpOption};
constexpr option endOfOptions{nullptr, 0, nullptr, 0};

constexpr std::array rot13Options{decryptEntry, helpEntry, endOfOptions};
constexpr std::array vigenereOptions{option{"key", required_argument, nullptr, 'k'},
                                     option{"key-file", required_argument, nullptr, keyFileOption},
                                     decryptEntry,
                                     option{"crack", no_argument, nullptr, crackOption},
                                     option{"explain", no_argument, nullptr, explainOption},
                                     option{"json", no_argument, nullptr, jsonOption},
                                     helpEntry,
                                     endOfOptions};
constexpr std::array personalOptions{
    decryptEntry, option{"seed", required_argument, nullptr, seedOption}, helpEntry, endOfOptions};
constexpr std::array solveOptions{option{"json", no_argument, nullptr, jsonOption}, helpEntry,
                                  endOfOptions};

constexpr std::array methodCommands{
    MethodCommand{"rot13", rot13Help, ":d", rot13Options, runRot13},
    MethodCommand{"vigenere", vigenereHelp, ":k:d", vigenereOptions, runVigenere},
    MethodCommand{"personal", personalHelp, ":d", personalOptions, runPersonal},
    MethodCommand{"solve", solveHelp, ":", solveOptions, runSolveCommand},
};

// Parses a method's arguments, its name first, into `chosen`. Gives the FILE operands, or the
// exit status where the run ends here: 0 after --help, 2 for an unknown option or one without
// its value.
std::variant<Files, int> parseMethodArguments(const MethodCommand& command, Arguments arguments,
                                              MethodArguments& chosen) {
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
        return show(command.help());
      case '?':
        return refuse(refusedOptionMessage(arguments), helpCommand);
      case ':':
        return refuse("option '" + refusedOption(arguments) + "' needs a value", helpCommand);
      default:
        choose(chosen, parsed, optarg);
    }
  }
}

int runMethodCommand(const MethodCommand& command, Arguments arguments) {
  MethodArguments chosen;
  const auto parsed = parseMethodArguments(command, arguments, chosen);
  if (const int* status = std::get_if<int>(&parsed)) {
    return *status;
  }
  return command.run(chosen, std::get<Files>(parsed));
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
  for (const MethodCommand& command : methodCommands) {
    if (command.name == method) {
      return runMethodCommand(command, arguments);
    }
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
    return show(programHelp());
  }
  return show(std::string(versionText()) + "kernels: " + describeKernels() + "\n");
}
