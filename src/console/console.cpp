#include "console/console.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>

void Console::endLine() {
  out_.put('\n');
  flush();
}

void Console::writeLine(std::string_view text) {
  write(text);
  endLine();
}

void Console::flush() {
  errno = 0;
  out_.flush();
  if (out_) {
    return;
  }
  const int error = errno;
  // A reader that closed the pipe early wants no more output, and no complaint either.
  if (error == EPIPE) {
    throw DialogueStopped{1, ""};
  }
  std::string message = "ciphers: cannot write the output";
  if (error != 0) {
    message += std::string(": ") + std::strerror(error);
  }
  throw DialogueStopped{1, message};
}

std::optional<char> Console::readChoice() {
  flush();
  char method = 0;
  if (!(in_ >> method)) {
    return std::nullopt;
  }
  discardRestOfLine();
  return method;
}

std::optional<std::string> Console::readLine() {
  flush();
  std::array<char, maxTextLength + 1> input{};
  in_.getline(input.data(), input.size());
  if (in_.gcount() == 0 && in_.fail()) {
    return std::nullopt;
  }
  if (in_.fail()) {
    // The line is longer than the buffer: its first 800 characters are the text.
    in_.clear();
    in_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return std::string(input.data());
}

std::optional<std::string> Console::readWord() {
  flush();
  std::string word;
  if (!(in_ >> word)) {
    return std::nullopt;
  }
  discardRestOfLine();
  return word;
}

void Console::stopAtEndOfInput(std::string_view awaited) {
  endLine();
  throw DialogueStopped{1,
                        "ciphers: the input ended before " + std::string(awaited) + " was typed"};
}
