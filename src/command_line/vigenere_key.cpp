#include "vigenere_key.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "descriptor_io.hpp"
#include "hidden_prompt.hpp"
#include "method_filters.hpp"
#include "vigenere.hpp"

namespace {

constexpr std::string_view lettersOnly = "one or more of the letters A-Z and a-z";
constexpr int promptTries = 3;

int refuseKey(std::string_view message) {
  std::cerr << "ciphers: " << message << "\n";
  return 2;
}

int refuseKeyFile(const std::string& path, std::string_view problem) {
  return refuseKey(path + ": " + std::string(problem));
}

std::string_view secretView(const Secret& secret) {
  return {secret.data(), secret.size()};
}

// Why the key is no key; nothing for a good one.
std::optional<std::string> keyProblem(const Secret& key) {
  if (key.empty()) {
    return "the key is empty: it must be " + std::string(lettersOnly);
  }
  if (!isVigenereKey(secretView(key))) {
    return "the key holds a character other than the letters A-Z and a-z";
  }
  return std::nullopt;
}

// What a key file's bytes make, read a block at a time: it stops at the first byte that shows
// the file wrong, so that no file (a device of endless bytes, say) is read further than needed.
class KeyLine {
 public:
  enum class State { inLine, afterCarriageReturn, ended, nonLetter, furtherLine };

  void take(std::span<const char> bytes) {
    for (const char byte : bytes) {
      if (!takeByte(byte)) {
        return;
      }
    }
  }
  bool wrong() const { return state_ == State::nonLetter || state_ == State::furtherLine; }
  State state() const { return state_; }
  Secret& key() { return key_; }

 private:
  bool takeByte(char byte) {
    switch (state_) {
      case State::inLine:
        if (byte == '\n') {
          state_ = State::ended;
        } else if (byte == '\r') {
          state_ = State::afterCarriageReturn;
        } else {
          key_.push_back(byte);
          state_ = isVigenereKey(std::string_view(&byte, 1)) ? state_ : State::nonLetter;
        }
        break;
      case State::afterCarriageReturn:
        state_ = byte == '\n' ? State::ended : State::nonLetter;
        break;
      case State::ended:
        state_ = State::furtherLine;
        break;
      default:
        break;
    }
    return !wrong();
  }

  Secret key_;
  State state_ = State::inLine;
};

}  // namespace

KeyOrStatus readKeyFile(const std::string& path) {
  const bool standardInput = path == "-";
  const int descriptor = standardInput ? 0 : openForReading(path.c_str());
  if (descriptor < 0) {
    return refuseKeyFile(path, std::strerror(errno));
  }
  KeyLine line;
  std::array<char, 4096> block{};
  std::ptrdiff_t count = 0;
  while (!line.wrong() && (count = readBlock(descriptor, block)) > 0) {
    line.take(std::span(block).first(static_cast<std::size_t>(count)));
  }
  const int error = errno;
  wipe(block);
  if (!standardInput) {
    closeDescriptor(descriptor);
  }
  if (count < 0) {
    return refuseKeyFile(path, std::strerror(error));
  }
  if (line.state() == KeyLine::State::furtherLine) {
    return refuseKeyFile(path, "the key file must hold one line");
  }
  if (line.state() == KeyLine::State::afterCarriageReturn) {
    return refuseKeyFile(path, "the key holds a character other than the letters A-Z and a-z");
  }
  if (const auto problem = keyProblem(line.key())) {
    return refuseKeyFile(path, *problem);
  }
  return std::move(line.key());
}

KeyOrStatus askForKey(bool twice) {
  const std::unique_ptr<HiddenPrompt> prompt = openHiddenPrompt();
  if (!prompt) {
    std::cerr << "ciphers: " << missingKeyMessage << '\n' << "Try 'ciphers vigenere --help'.\n";
    return 2;
  }
  for (int tries = 0; tries < promptTries; ++tries) {
    std::optional<Secret> key = prompt->ask("Key: ");
    if (!key) {
      return refuseKey("no key: the terminal's input ended");
    }
    if (const auto problem = keyProblem(*key)) {
      prompt->say(*problem);
      continue;
    }
    if (!twice) {
      return std::move(*key);
    }
    const std::optional<Secret> again = prompt->ask("Key again: ");
    if (!again) {
      return refuseKey("no key: the terminal's input ended");
    }
    if (*again == *key) {
      return std::move(*key);
    }
    prompt->say("the keys differ");
  }
  return refuseKey("no key: no good key was typed in 3 tries");
}
