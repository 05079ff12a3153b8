#pragma once

#include <ctime>
#include <string_view>

#include "console.hpp"

// The calendar time in whole seconds, which seeds the personal method.
using Clock = std::time_t (*)();

inline std::time_t currentTime() {
  return std::time(nullptr);
}

// One run of a method on the typed text: encrypt, decrypt back and write the report.
void runRot13(std::string_view input, Console& console);
void runVigenere(std::string_view input, Console& console);  // asks for the key first
void runPersonalMethod(std::string_view input, Console& console, Clock clock);
