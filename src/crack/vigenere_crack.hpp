#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "period_columns.hpp"

// The letters of a ciphertext that the cracker reads, upper-cased and in order, and where the
// runs of other bytes between them fall: the first sampleLimit letters, fed chunk by chunk. They
// give each letter of the longest key looked for over 50 letters, where the accuracy benchmark
// finds every key; more would only take longer, so the rest are counted and dropped.
class CrackSample {
 public:
  static constexpr std::size_t sampleLimit = 2048;

  void add(std::string_view chunk);
  // One letter, a capital.
  void addLetter(char capital) {
    ++count_;
    if (letters_.size() < sampleLimit) {
      letters_.push_back(capital);
      nonLettersBefore_.push_back(false);
    }
  }
  // One byte that is not a letter. Once the sample is full, what follows it is not kept: the key
  // found on a full sample is then the key found at the end of the text.
  void addNonLetter() {
    if (!full()) {
      nonLettersBefore_.back() = true;
    }
  }
  // Letters counted beyond a full sample.
  void countBeyond(std::uint64_t letters) { count_ += letters; }
  bool full() const { return letters_.size() == sampleLimit; }

  const std::string& letters() const { return letters_; }
  // Whether bytes other than letters came before letter i, or, for i equal to the letters'
  // count, after the last letter of a sample that is not full.
  bool nonLettersBefore(std::size_t i) const { return nonLettersBefore_[i]; }
  // The letters, with one space for each run of other bytes between them.
  std::string spacedLetters() const;
  // Every letter added, those beyond the sample included.
  std::uint64_t letterCount() const { return count_; }

 private:
  std::string letters_;
  std::vector<bool> nonLettersBefore_ = std::vector<bool>(1, false);  // one for each letter, + 1
  std::uint64_t count_ = 0;
};

// Keys of up to this many letters are looked for.
inline constexpr std::size_t maximumKeyLength = 40;
static_assert(maximumKeyLength <= PeriodColumns::longestPeriod);

// A longer period fits any text better: each key letter more must better the fit by this many
// nats to be chosen. Chosen on passages of texts that the accuracy benchmark does not use (Emma
// and the Debian Policy Manual): from 5 to 8 the periods chosen hardly differed; from 10 on
// texts of 3 letters a key letter took shorter periods, and at ln 26 or less, multiples.
inline constexpr double periodPenalty = 8.0;

// A text shorter than this many letters for each letter of the key found, or than
// minimumLetters in all, is too short to be sure of the key: from there on the breaker finds the
// key in at least 98 of 100 passages of held-back English, literary or technical, for keys of 1
// to 40 letters; at 4 letters a key letter, in 93 to 100. A key as long as the text fits it
// whatever the text says.
inline constexpr std::size_t minimumLettersPerKeyLetter = 5;
inline constexpr std::size_t minimumLetters = 12;

enum class CrackVerdict {
  sure,
  tooShort,
  // The text holds too few different letters for English, as one letter repeated does: any
  // key of the period fits it.
  tooFewLetters,
  // The text deciphered under the key found does not score as English does: the key may be
  // longer than maximumKeyLength, or the text not English, or not enciphered this way.
  notEnglish,
};

struct VigenereCrack {
  // Capitals: the shortest period of the key found, so ABAB is given as AB.
  std::string key;
  CrackVerdict verdict = CrackVerdict::tooShort;
};

// The key that deciphers the sample into the likeliest English; nothing when the sample holds
// no letter.
std::optional<VigenereCrack> crackVigenere(const CrackSample& sample);

// What the too-short and not-English verdicts warn of, one line without a line end; empty for a
// sure key.
std::string verdictWarning(CrackVerdict verdict);

// How the cracker found its key, for a reader who wants to follow it. Every index of coincidence
// is the sum of n(n - 1) over a column's letter counts n, over N(N - 1) for the column's N
// letters, and 0 below two letters; a period's is the mean over its columns.
struct CrackExplanation {
  static constexpr std::size_t alphabet = 26;
  // Repeated three-letter sequences are looked for among this many first letters, ...
  static constexpr std::size_t repeatLetters = 10000;
  // ... the most frequent this many of them listed, ...
  static constexpr std::size_t listedRepeats = 20;
  // ... and the periods from 2 to maximumKeyLength tried as divisors of their distances.
  static constexpr std::size_t firstDivisor = 2;

  // A period the cracker weighed: the index of coincidence of its columns over every letter of
  // the text, and, if its key was searched for, that key's fit in nats: the score of the
  // sample's letters and gaps deciphered under it (english_statistics.hpp), less periodPenalty
  // for each key letter. Unsearched periods' columns look too little like English in the sample.
  struct Period {
    std::size_t period = 0;
    double coincidence = 0;
    std::optional<double> fit;
  };
  struct Repeat {
    std::string sequence;
    std::vector<std::size_t> positions;  // letter indices, from 0
    std::vector<std::size_t> distances;  // between successive positions
  };
  // A key letter's column, over every letter of the text.
  struct Column {
    std::array<std::uint64_t, alphabet> counts{};  // A to Z
    // For each shift 0 to 25, the sum of the log-probabilities of English letters of the column
    // deciphered under it: how the cracker's search begins.
    std::array<double, alphabet> fit{};
    std::size_t shift = 0;     // the key letter's, A = 0
    std::size_t runnerUp = 0;  // the best fit of another shift
  };

  std::uint64_t letters = 0;
  double coincidence = 0;          // of the whole text
  std::size_t sampleLetters = 0;   // the letters the search read
  double periodPenalty = 0;        // nats a key letter
  std::size_t searchedPeriod = 0;  // the best search's, before its key was shortened
  std::vector<Period> periods;     // in increasing order
  std::vector<Repeat> repeats;     // the most frequent first, then by first position
  std::array<std::uint64_t, maximumKeyLength - firstDivisor + 1> divisors{};  // for 2, 3, ...
  std::vector<Column> columns;  // one for each key letter
  VigenereCrack crack;
};

// The letters of a ciphertext that the cracker reads, and what an explanation shows of the
// whole text besides: its first repeatLetters letters, and the letter counts of the columns of
// every period the cracker tries, over all of its letters. Its memory does not grow with the
// text.
class ExplainedSample {
 public:
  void add(std::string_view chunk);

  const CrackSample& sample() const { return sample_; }
  const std::string& firstLetters() const { return firstLetters_; }
  // The columns' counts of the period, 1 to maximumKeyLength, over every letter so far.
  std::vector<std::array<std::uint64_t, 26>> columnCounts(std::size_t period) const {
    return columns_.columns(period);
  }

 private:
  // Takes the chunk's letters into the sample and the first letters until they are full.
  void fillFirstLetters(std::string_view chunk);

  CrackSample sample_;
  std::string firstLetters_;
  PeriodColumns columns_;
};

// crackVigenere's key, and how it was found: the very search that crackVigenere makes, with
// what it weighed on the way; nothing when the text holds no letter.
std::optional<CrackExplanation> explainVigenereCrack(const ExplainedSample& text);
