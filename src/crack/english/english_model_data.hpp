#pragma once

#include <array>
#include <cstdint>

// The English model that make_english_model.py writes into english_model_data.cpp;
// english_statistics.cpp decodes it. Its symbols are the letters A to Z (0 to 25) and one more
// (26) for a run of anything else between letters.

// Nats between two neighbouring levels.
extern const double englishLevelStep;

// How often each letter A to Z occurs in the texts.
extern const std::array<std::uint32_t, 26> englishLetterCounts;

// Each table is a list of string literals of a size every compiler takes, the last followed by a
// null pointer. A character stands for one value: the printable ASCII characters from '#' to '~'
// but for the backslash and the question mark, in that order, are the levels 0 to 63 and then,
// in the four-gram table only, runs of 1 to 28 entries that take their level from the backoff.

// For all 27^3 symbol triples a b c in index order, the level of c's log-probability after a b.
extern const char* const englishTrigramPieces[];
// For all 27^3 contexts a b c, the levels that an entry a b c d not listed in the four-gram table
// gives up on its trigram b c d: its level is max(0, trigram(b c d) - backoff(a b c)).
extern const char* const englishBackoffPieces[];
// The levels of all 27^4 four-grams a b c d in index order: d's log-probability after a b c.
extern const char* const englishFourgramPieces[];
