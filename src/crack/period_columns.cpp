#include "period_columns.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace {

// Where each modulus's narrow counters begin.
constexpr auto narrowOffsets = [] {
  std::array<std::size_t, PeriodColumns::moduli.size() + 1> offsets{};
  for (std::size_t i = 0; i < PeriodColumns::moduli.size(); ++i) {
    offsets[i + 1] = offsets[i] + PeriodColumns::moduli[i] * PeriodColumns::alphabet;
  }
  return offsets;
}();

// The smallest modulus that the period divides, the cheapest to fold; moduli.size() if none.
constexpr std::size_t modulusOf(std::size_t period) {
  std::size_t best = PeriodColumns::moduli.size();
  for (std::size_t i = 0; i < PeriodColumns::moduli.size(); ++i) {
    if (PeriodColumns::moduli[i] % period == 0 &&
        (best == PeriodColumns::moduli.size() ||
         PeriodColumns::moduli[i] < PeriodColumns::moduli[best])) {
      best = i;
    }
  }
  return best;
}

constexpr bool everyPeriodDividesAModulus() {
  for (std::size_t period = 1; period <= PeriodColumns::longestPeriod; ++period) {
    if (modulusOf(period) == PeriodColumns::moduli.size()) {
      return false;
    }
  }
  return true;
}
static_assert(everyPeriodDividesAModulus());

// Where each period's wide counters begin: p x 26 for period p, from period 1.
constexpr std::size_t wideOffset(std::size_t period) {
  return period * (period - 1) / 2 * PeriodColumns::alphabet;
}

// Adds a modulus's narrow counters into the period's columns, row r into column r mod period.
void fold(const std::uint16_t* narrow, std::size_t modulus, std::size_t period,
          std::uint64_t* columns) {
  for (std::size_t x = 0; x < PeriodColumns::alphabet; ++x) {
    const std::uint16_t* row = narrow + x * modulus;
    for (std::size_t r = 0, j = 0; r < modulus; ++r) {
      columns[j * PeriodColumns::alphabet + x] += row[r];
      j = j + 1 == period ? 0 : j + 1;
    }
  }
}

// The piece's letters as alphabet positions, A = 0, into letters, which has room for the whole
// piece; returns how many. Every byte is written, and kept only if a letter, so that no branch
// waits on the text.
std::size_t takeLetters(std::string_view piece, std::uint8_t* letters) {
  std::size_t n = 0;
  for (const char c : piece) {
    const unsigned index = (static_cast<unsigned char>(c) | 0x20U) - 'a';
    letters[n] = static_cast<std::uint8_t>(index);
    n += index < PeriodColumns::alphabet ? 1 : 0;
  }
  return n;
}

}  // namespace

PeriodColumns::PeriodColumns(std::uint64_t flushLetters)
    : flushLetters_(std::clamp<std::uint64_t>(flushLetters, 1, safeFlushLetters)),
      narrow_(narrowOffsets.back()),
      wide_(wideOffset(longestPeriod + 1)),
      piece_(pieceBytes) {}

std::uint64_t PeriodColumns::add(std::string_view chunk) {
  std::uint64_t letters = 0;
  for (std::size_t start = 0; start < chunk.size(); start += pieceBytes) {
    letters += addPiece(chunk.substr(start, pieceBytes));
  }
  return letters;
}

std::uint64_t PeriodColumns::addPiece(std::string_view piece) {
  const std::size_t letters = takeLetters(piece, piece_.data());
  if (sinceFlush_ + letters > flushLetters_) {
    flush();
  }
  for (std::size_t modulus = 0; modulus < moduli.size(); ++modulus) {
    countModulus(modulus, letters);
  }
  letters_ += letters;
  sinceFlush_ += letters;
  return letters;
}

// One increment a letter, the pass cut at each turn of the modulus so that the position needs
// no test for its wrap, and written out four letters a step: the increments, one store each,
// bound the time, and the loop's own work is best spread thin among them.
void PeriodColumns::countModulus(std::size_t modulus, std::size_t letters) {
  const std::size_t m = moduli[modulus];
  std::array<std::uint32_t, alphabet> rows{};
  for (std::size_t x = 0; x < alphabet; ++x) {
    rows[x] = static_cast<std::uint32_t>(x * m);
  }
  Narrow* const table = narrow_.data() + narrowOffsets[modulus];
  const std::uint8_t* letter = piece_.data();
  std::size_t position = static_cast<std::size_t>(letters_ % m);
  while (letters > 0) {
    const std::size_t run = std::min(letters, m - position);
    Narrow* const cells = table + position;
    std::size_t k = 0;
    for (; k + 4 <= run; k += 4) {
      ++cells[rows[letter[k]] + k];
      ++cells[rows[letter[k + 1]] + k + 1];
      ++cells[rows[letter[k + 2]] + k + 2];
      ++cells[rows[letter[k + 3]] + k + 3];
    }
    for (; k < run; ++k) {
      ++cells[rows[letter[k]] + k];
    }
    letter += run;
    letters -= run;
    position = 0;
  }
}

void PeriodColumns::flush() {
  for (std::size_t period = 1; period <= longestPeriod; ++period) {
    const std::size_t modulus = modulusOf(period);
    fold(narrow_.data() + narrowOffsets[modulus], moduli[modulus], period,
         wide_.data() + wideOffset(period));
  }
  std::fill(narrow_.begin(), narrow_.end(), Narrow{0});
  sinceFlush_ = 0;
}

std::vector<PeriodColumns::Counts> PeriodColumns::columns(std::size_t period) const {
  if (period == 0 || period > longestPeriod) {
    return {};
  }
  std::vector<Counts> columns(period);
  std::vector<std::uint64_t> cells(
      wide_.begin() + static_cast<std::ptrdiff_t>(wideOffset(period)),
      wide_.begin() + static_cast<std::ptrdiff_t>(wideOffset(period + 1)));
  const std::size_t modulus = modulusOf(period);
  fold(narrow_.data() + narrowOffsets[modulus], moduli[modulus], period, cells.data());
  for (std::size_t j = 0; j < period; ++j) {
    std::copy_n(cells.begin() + static_cast<std::ptrdiff_t>(j * alphabet), alphabet,
                columns[j].begin());
  }
  return columns;
}
