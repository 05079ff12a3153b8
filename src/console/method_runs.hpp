#pragma once

#include <ctime>
#include <optional>
#include <string_view>

#include "console.hpp"
#include "mt19937.hpp"

// The calendar time in whole seconds, which seeds the personal method.
using Clock = std::time_t (*)();

inline std::time_t currentTime() {
  return std::time(nullptr);
}

// The personal method's generators, seeded with the clock's current second. The last seeded one
// is kept and copied while the second lasts: runs in one second draw alike anyway, and a piped
// session of many lines is then seeded once a second rather than once a run.
class ClockSeededGenerators {
 public:
  explicit ClockSeededGenerators(Clock clock) : clock_(clock) {}
  Mt19937 now();

 private:
  Clock clock_;
  std::time_t second_{};
  std::optional<Mt19937> seeded_;
};

// One run of a method on the typed text: encrypt, decrypt back and write the report.
void runRot13(std::string_view input, Console& console);
void runVigenere(std::string_view input, Console& console);  // asks for the key first
void runPersonalMethod(std::string_view input, Console& console, ClockSeededGenerators& generators);
