#pragma once

#include <string_view>

#include "console/console.hpp"

// One run of a method on the typed text: encrypt, decrypt back and write the report.
void runRot13(std::string_view input, Console& console);
void runVigenere(std::string_view input, Console& console);  // asks for the key first
void runPersonalMethod(std::string_view input, Console& console);
