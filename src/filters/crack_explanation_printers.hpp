#pragma once

#include <string>
#include <string_view>

#include "vigenere_crack.hpp"

// How the text report draws: bars of the block characters U+2581 to U+2588 in UTF-8, or of '#'
// in ASCII alone.
struct ReportStyle {
  bool blocks = false;
};

// Whether the user's locale writes UTF-8 (LC_CTYPE as the environment sets it). The program's
// own locale is left as it was.
bool localeUsesUtf8();

// The report of how the key was found, in lines of at most 80 columns: the text, the periods,
// the repeats, the key letters' columns, and the key with `opening`, the text's first bytes
// deciphered under it.
std::string explanationReport(const CrackExplanation& explanation, std::string_view opening,
                              ReportStyle style);

// The same as one JSON object, ended by a line feed.
std::string explanationJson(const CrackExplanation& explanation);
