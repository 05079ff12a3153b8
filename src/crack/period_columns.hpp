#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Every ASCII letter of a text, counted by its position modulo each of a few moduli and by
// letter, so that the columns of any period up to longestPeriod fold from the counts of a modulus
// that the period divides: column j of period p holds letters j, j + p, j + 2p, ... (from 0).
// One increment a letter for each modulus, in tables of a fixed size whatever the text's.
class PeriodColumns {
 public:
  static constexpr std::size_t longestPeriod = 40;
  static constexpr std::size_t alphabet = 26;
  // Every period from 1 to longestPeriod divides one of them.
  static constexpr std::array<std::size_t, 6> moduli{4320, 2100, 858, 646, 667, 1147};

  using Counts = std::array<std::uint64_t, alphabet>;

  // The narrow counters are folded into wide ones at the latest after flushLetters letters;
  // smaller values than the default serve only to test that folding.
  explicit PeriodColumns(std::uint64_t flushLetters = safeFlushLetters);

  // Counts the chunk's letters, upper or lower case alike; returns how many it held.
  std::uint64_t add(std::string_view chunk);

  std::uint64_t letters() const { return letters_; }
  // The counts of each column of the period over every letter added; none for a period beyond
  // 1 to longestPeriod.
  std::vector<Counts> columns(std::size_t period) const;

 private:
  // Letters are taken out of a chunk this many bytes at a time, so that the moduli's passes over
  // them read from the first-level cache.
  static constexpr std::size_t pieceBytes = 16384;
  using Narrow = std::uint16_t;
  // A narrow counter of modulus m gains at most one in every m letters: after this many letters
  // since the last fold, none has passed its largest value.
  static constexpr std::uint64_t safeFlushLetters =
      std::uint64_t{0xFFFF} * *std::min_element(moduli.begin(), moduli.end());

  std::uint64_t addPiece(std::string_view piece);
  void countModulus(std::size_t modulus, std::size_t letters);
  void flush();

  std::uint64_t flushLetters_;
  // For each modulus m in turn, m x 26 counters: letter x at position r (mod m) at x * m + r, so
  // that a run of positions walks 26 rows side by side.
  std::vector<Narrow> narrow_;
  // For each period p in turn, its p columns' counts folded out of the narrow counters so far.
  std::vector<std::uint64_t> wide_;
  std::vector<std::uint8_t> piece_;  // a piece's letters, A = 0
  std::uint64_t letters_ = 0;
  std::uint64_t sinceFlush_ = 0;
};
