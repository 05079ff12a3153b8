#include "hidden_prompt.hpp"

// The build for a system without /dev/tty: there is never a terminal to ask at.

HiddenPrompt::~HiddenPrompt() = default;

std::optional<Secret> HiddenPrompt::ask(std::string_view /*prompt*/) {
  return std::nullopt;
}

void HiddenPrompt::say(std::string_view /*line*/) {}

std::unique_ptr<HiddenPrompt> openHiddenPrompt() {
  return nullptr;
}
