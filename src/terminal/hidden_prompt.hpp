#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "secret.hpp"

// Questions asked at the controlling terminal (/dev/tty), their answers read with echo off: for
// a secret, while standard input and output carry the text. The terminal's modes are put back
// after each answer, and also when a signal ends or stops the program in the meantime.
class HiddenPrompt {
 public:
  HiddenPrompt(const HiddenPrompt&) = delete;
  HiddenPrompt& operator=(const HiddenPrompt&) = delete;
  ~HiddenPrompt();

  // Writes the prompt and reads a line, without its line end; nothing when the terminal's input
  // ends first or cannot be read.
  std::optional<Secret> ask(std::string_view prompt);

  // Writes a line to the terminal.
  void say(std::string_view line);

 private:
  explicit HiddenPrompt(int terminal) : terminal_(terminal) {}
  friend std::unique_ptr<HiddenPrompt> openHiddenPrompt();

  int terminal_;
};

// A prompt at the controlling terminal; nothing when the program has none.
std::unique_ptr<HiddenPrompt> openHiddenPrompt();
