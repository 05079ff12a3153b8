#include "vigenere_crack.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "ascii.hpp"
#include "english_fit.hpp"
#include "english_statistics.hpp"
#include "repeated_sequences.hpp"
#include "vigenere.hpp"

namespace {

using Letters = std::vector<std::uint8_t>;  // alphabet positions, A = 0 to Z = 25
using Key = std::vector<std::uint8_t>;
using LetterCounts = std::array<std::uint64_t, alphabetSize>;
using ShiftFits = std::array<double, alphabetSize>;

// Deciphering through the letter square: under key letter k, ciphertext letter x (both alphabet
// positions) stands in the column of row k that the table gives.
constexpr auto decipherTable = [] {
  std::array<std::array<std::uint8_t, alphabetSize>, alphabetSize> table{};
  for (int k = 0; k < alphabetSize; ++k) {
    for (int x = 0; x < alphabetSize; ++x) {
      table[k][x] = static_cast<std::uint8_t>(*findInRow(vigenere[k], static_cast<char>('A' + x)));
    }
  }
  return table;
}();

constexpr std::uint8_t nonLetter = EnglishStatistics::nonLetter;
constexpr std::size_t symbolCount = EnglishStatistics::symbols;
// A symbol's level is looked up with the three before it.
constexpr std::size_t windowLength = 4;

// Periods whose columns hold fewer letters than this are searched by a beam over their key
// letters; on longer columns climbing from each column's best letter finds the key alone (at
// 16 letters a key letter, keys of 40 letters in 120 passages of 120), and faster.
constexpr std::size_t beamColumnLetters = 16;
// The beam keeps at most this many partial keys, fewer on longer columns, where the key letters
// stand out more: beamScale over the square of the column's letters, and at least leastBeam.
// Columns of one or two letters fit some key whatever the text: no beam tells the key there, so
// a narrow one, shortBeam, spends little on periods too long for the text.
constexpr std::size_t beamWidth = 2048;
constexpr std::size_t beamScale = beamWidth * 9;
constexpr std::size_t leastBeam = 16;
constexpr std::size_t shortBeam = 128;
// Climbing starts again from this many of the best full keys that a beam ends with.
constexpr std::size_t beamKeysClimbed = 2;
// A crack stops widening its beams after this long, and the search ends in time: the rest of
// its beams keep one key each.
constexpr std::chrono::milliseconds searchTime{1500};

// Below this many letters a column, the index of coincidence is left out of choosing periods:
// it tells English from noise only on longer columns.
constexpr std::size_t coincidenceColumnLetters = 50;
// Columns of English letters coincide about 0.066 of the time, of random letters 0.038.
constexpr double englishCoincidence = 0.052;
// Even at 12 letters a column, columns of English coincide less than a quarter of the time; a
// text whose columns coincide more often than this has too few different letters for English.
constexpr double mostCoincidence = 0.3;
// Where no period's columns look like English, this many of those nearest are searched.
constexpr std::size_t nearestPeriods = 3;

// For each key letter, how English the column's letters deciphered under it are: the sum of
// their letters' log-probabilities.
ShiftFits shiftFits(const LetterCounts& counts) {
  const auto& logProbability = englishStatistics().letterLogProbability;
  ShiftFits fits{};
  for (std::size_t k = 0; k < alphabetSize; ++k) {
    for (std::size_t x = 0; x < alphabetSize; ++x) {
      fits[k] += static_cast<double>(counts[x]) * logProbability[decipherTable[k][x]];
    }
  }
  return fits;
}

// The best shift by its fit, the earliest of equals; none other than `except`.
std::size_t bestShift(const ShiftFits& fits, std::size_t except = alphabetSize) {
  std::size_t best = except == 0 ? 1 : 0;
  for (std::size_t k = 0; k < alphabetSize; ++k) {
    if (k != except && fits[k] > fits[best]) {
      best = k;
    }
  }
  return best;
}

LetterCounts columnCounts(const Letters& cipher, std::size_t period, std::size_t column) {
  LetterCounts counts{};
  for (std::size_t i = column; i < cipher.size(); i += period) {
    ++counts[cipher[i]];
  }
  return counts;
}

Letters alphabetPositions(const std::string& letters) {
  Letters positions(letters.size());
  std::transform(letters.begin(), letters.end(), positions.begin(),
                 [](char c) { return static_cast<std::uint8_t>(c - 'A'); });
  return positions;
}

// The sample as the search reads it.
struct Cipher {
  Letters letters;  // alphabet positions
  // The letters as symbols, a nonLetter standing for each run of other bytes between them, and
  // one before the first, as the English statistics read a text.
  std::vector<std::uint8_t> symbols;
  std::vector<std::size_t> letterAt;  // each letter's index in symbols
};

Cipher cipherOf(const CrackSample& sample) {
  Cipher cipher;
  cipher.letters = alphabetPositions(sample.letters());
  const std::size_t n = cipher.letters.size();
  cipher.symbols.reserve(2 * n + 2);
  cipher.letterAt.reserve(n);
  cipher.symbols.push_back(nonLetter);
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && sample.nonLettersBefore(i)) {
      cipher.symbols.push_back(nonLetter);
    }
    cipher.letterAt.push_back(cipher.symbols.size());
    cipher.symbols.push_back(cipher.letters[i]);
  }
  if (n > 0 && sample.nonLettersBefore(n)) {
    cipher.symbols.push_back(nonLetter);
  }
  return cipher;
}

// Ends the beams' widening once its time is up, looking at the clock at every step.
class Deadline {
 public:
  explicit Deadline(std::chrono::steady_clock::duration time)
      : end_(std::chrono::steady_clock::now() + time) {}

  bool passed() {
    passed_ = passed_ || std::chrono::steady_clock::now() >= end_;
    return passed_;
  }

 private:
  std::chrono::steady_clock::time_point end_;
  bool passed_ = false;
};

// The best key of one period that climbing finds: one key letter at a time changes to the best
// for its column while the others stay, until no change betters the score, the sum of the
// levels of the deciphered text's symbols.
class PeriodSearch {
 public:
  PeriodSearch(const Cipher& cipher, std::size_t period)
      : cipher_(cipher),
        period_(period),
        plain_(cipher.symbols),
        levels_(englishStatistics().fourgramLevels) {}

  // Climbs from the letters that suit each column alone.
  void climbFromColumns() { climbFrom(columnByColumn()); }

  // Climbs from the key; keeps the better of its end and the best so far.
  void climbFrom(const Key& start) {
    Key key = start;
    for (std::size_t column = 0; column < period_; ++column) {
      setColumn(column, key[column]);
    }
    std::vector<std::size_t> work(period_);
    for (std::size_t column = 0; column < period_; ++column) {
      work[column] = column;
    }
    const long score = climb(key, totalScore(), work);
    if (best_.empty() || score > bestScore_) {
      best_ = std::move(key);
      bestScore_ = score;
    }
  }

  const Key& best() const { return best_; }
  long bestScore() const { return bestScore_; }
  std::size_t period() const { return period_; }

 private:
  // Each column's letter alone, by how English its deciphered letters are.
  Key columnByColumn() const {
    Key key(period_);
    for (std::size_t column = 0; column < period_; ++column) {
      key[column] = static_cast<std::uint8_t>(
          bestShift(shiftFits(columnCounts(cipher_.letters, period_, column))));
    }
    return key;
  }

  void setColumn(std::size_t column, std::uint8_t k) {
    const auto& row = decipherTable[k];
    for (std::size_t i = column; i < cipher_.letterAt.size(); i += period_) {
      const std::size_t at = cipher_.letterAt[i];
      plain_[at] = row[cipher_.symbols[at]];
    }
  }

  // The level of the symbol at s, s >= 3, after the three before it.
  long levelAt(std::size_t s) const {
    const std::size_t index =
        ((plain_[s - 3] * symbolCount + plain_[s - 2]) * symbolCount + plain_[s - 1]) *
            symbolCount +
        plain_[s];
    return levels_[index];
  }

  long totalScore() const {
    long sum = 0;
    for (std::size_t s = windowLength - 1; s < plain_.size(); ++s) {
      sum += levelAt(s);
    }
    return sum;
  }

  // The part of the score that the column's key letter can change. Below a period of four
  // a window of four symbols may hold two letters of one column.
  long scoreTouching(std::size_t column) const {
    const std::size_t n = plain_.size();
    if (period_ < windowLength || n < windowLength) {
      return totalScore();
    }
    long sum = 0;
    for (std::size_t i = column; i < cipher_.letterAt.size(); i += period_) {
      const std::size_t at = cipher_.letterAt[i];
      const std::size_t last = std::min(at + (windowLength - 1), n - 1);
      for (std::size_t s = std::max(at, windowLength - 1); s <= last; ++s) {
        sum += levelAt(s);
      }
    }
    return sum;
  }

  // The other columns that share a window with the column.
  void addNeighbours(std::vector<std::size_t>& work, std::size_t column) const {
    const std::size_t reach = std::min(windowLength - 1, period_ - 1);
    for (std::size_t d = 1; d <= reach; ++d) {
      work.push_back((column + d) % period_);
      work.push_back((column + period_ - d) % period_);
    }
  }

  // Sets the column's best letter, the other columns as they are, keeping the current one on a
  // tie; returns how much the score grew.
  long setBestLetter(Key& key, std::size_t column) {
    const long current = scoreTouching(column);
    long best = current;
    std::uint8_t bestLetter = key[column];
    for (std::uint8_t k = 0; k < alphabetSize; ++k) {
      if (k == key[column]) {
        continue;
      }
      setColumn(column, k);
      const long fit = scoreTouching(column);
      if (fit > best) {
        best = fit;
        bestLetter = k;
      }
    }
    setColumn(column, bestLetter);
    key[column] = bestLetter;
    return best - current;
  }

  // Sets the best letter of each column on the work list, then of the columns next to one that
  // changed, until none changes; returns the score.
  long climb(Key& key, long score, std::vector<std::size_t>& work) {
    std::vector<bool> queued(period_, false);
    std::vector<std::size_t> next;
    while (!work.empty()) {
      for (std::size_t column : work) {
        queued[column] = true;
      }
      next.clear();
      for (std::size_t column = 0; column < period_; ++column) {
        if (!queued[column]) {
          continue;
        }
        queued[column] = false;
        const long gain = setBestLetter(key, column);
        if (gain > 0) {
          score += gain;
          addNeighbours(next, column);
        }
      }
      work.swap(next);
    }
    return score;
  }

  const Cipher& cipher_;
  std::size_t period_;
  std::vector<std::uint8_t> plain_;  // the symbols deciphered under the key being climbed
  const std::vector<std::uint8_t>& levels_;
  Key best_;
  long bestScore_ = 0;
};

// The best keys of one period by a beam search: the key letters are chosen from the first to
// the last, and after each the partial keys that score best are kept. A symbol's level counts
// from the step that sets the last key letter of its window, so every partial key of a step is
// scored on the same symbols.
class BeamSearch {
 public:
  BeamSearch(const Cipher& cipher, std::size_t period) : period_(period), steps_(period) {
    constexpr std::uint8_t fixed = 0xFF;
    std::vector<std::uint8_t> columnAt(cipher.symbols.size(), fixed);
    for (std::size_t i = 0; i < cipher.letterAt.size(); ++i) {
      columnAt[cipher.letterAt[i]] = static_cast<std::uint8_t>(i % period);
    }
    for (std::size_t s = windowLength - 1; s < cipher.symbols.size(); ++s) {
      Window window;
      int last = -1;
      for (std::size_t t = 0; t < windowLength; ++t) {
        const std::size_t at = s + 1 + t - windowLength;
        window.symbols[t] = cipher.symbols[at];
        window.columns[t] = columnAt[at];
        if (columnAt[at] != fixed) {
          last = std::max(last, static_cast<int>(columnAt[at]));
        }
      }
      for (std::size_t t = 0; t < windowLength; ++t) {
        if (last >= 0 && window.columns[t] == last) {
          ++window.stepLetters;
          window.stepAt = static_cast<std::uint8_t>(t);
        }
      }
      if (last >= 0) {  // a window of non-letters alone scores the same under every key
        steps_[static_cast<std::size_t>(last)].push_back(window);
      }
    }
  }

  // The best full keys, the best first, at most `count` of them. Once the deadline has passed,
  // each step keeps one key.
  std::vector<Key> run(std::size_t width, std::size_t count, Deadline& deadline) {
    const auto& levels = englishStatistics().fourgramLevels;
    std::vector<std::uint8_t> keys(period_, 0);  // one key after another
    std::vector<long> scores{0};
    // Each child as one number: its score above, and below, ordering equals, its parent and
    // letter, so that a greater number is a better child and selecting is a plain sort.
    std::vector<std::uint64_t> children;
    std::vector<std::uint8_t> nextKeys;
    std::array<long, alphabetSize> gains{};
    for (std::size_t step = 0; step < period_; ++step) {
      children.clear();
      for (std::size_t parent = 0; parent < scores.size(); ++parent) {
        const std::uint8_t* key = &keys[parent * period_];
        gains.fill(0);
        for (const Window& window : steps_[step]) {
          addGains(window, key, step, levels, gains);
        }
        for (std::size_t k = 0; k < alphabetSize; ++k) {
          const auto score = static_cast<std::uint64_t>(scores[parent] + gains[k]);
          children.push_back(score << childBits | (childMask - (parent * alphabetSize + k)));
        }
      }
      const std::size_t kept =
          std::min(children.size(), deadline.passed() ? std::size_t{1} : width);
      const std::greater<> better;
      std::nth_element(children.begin(), children.begin() + static_cast<std::ptrdiff_t>(kept - 1),
                       children.end(), better);
      children.resize(kept);
      if (step + 1 == period_) {
        std::sort(children.begin(), children.end(), better);
      }
      nextKeys.resize(kept * period_);
      scores.resize(kept);
      for (std::size_t i = 0; i < kept; ++i) {
        const std::size_t child = childMask - (children[i] & childMask);
        std::copy_n(&keys[child / alphabetSize * period_], period_, &nextKeys[i * period_]);
        nextKeys[i * period_ + step] = static_cast<std::uint8_t>(child % alphabetSize);
        scores[i] = static_cast<long>(children[i] >> childBits);
      }
      keys.swap(nextKeys);
    }
    std::vector<Key> best;
    for (std::size_t i = 0; i < std::min(count, scores.size()); ++i) {
      best.emplace_back(keys.begin() + static_cast<std::ptrdiff_t>(i * period_),
                        keys.begin() + static_cast<std::ptrdiff_t>((i + 1) * period_));
    }
    return best;
  }

 private:
  // Four symbols in a row: a non-letter is fixed, a letter deciphers under its column's key
  // letter.
  struct Window {
    std::array<std::uint8_t, windowLength> symbols{};
    std::array<std::uint8_t, windowLength> columns{};  // 0xFF for a non-letter
    std::uint8_t stepLetters = 0;  // of the column whose step completes the window
    std::uint8_t stepAt = 0;       // the last of them
  };
  // A child's parent and letter take the lowest bits, parent * 26 + letter counted down.
  static constexpr unsigned childBits = 20;
  static constexpr std::uint64_t childMask = (std::uint64_t{1} << childBits) - 1;
  static_assert(beamWidth * alphabetSize <= childMask);

  // Adds the window's level under each letter of the step's column to that letter's gain.
  static void addGains(const Window& window, const std::uint8_t* key, std::size_t step,
                       const std::vector<std::uint8_t>& levels,
                       std::array<long, alphabetSize>& gains) {
    std::size_t base = 0;
    std::array<std::size_t, windowLength> weights{};
    std::size_t weight = 1;
    for (std::size_t t = windowLength; t-- > 0;) {
      const std::uint8_t column = window.columns[t];
      if (column == step) {
        weights[t] = weight;
      } else {
        base += weight * (column == 0xFF ? window.symbols[t]
                                         : decipherTable[key[column]][window.symbols[t]]);
      }
      weight *= symbolCount;
    }
    if (window.stepLetters == 1) {
      // Cipher letter c deciphers to x under key letter (c - x) mod 26.
      const std::uint8_t* const row = &levels[base];
      const std::size_t stride = weights[window.stepAt];
      const std::size_t c = window.symbols[window.stepAt];
      for (std::size_t x = 0; x <= c; ++x) {
        gains[c - x] += row[stride * x];
      }
      for (std::size_t x = c + 1; x < alphabetSize; ++x) {
        gains[c + alphabetSize - x] += row[stride * x];
      }
      return;
    }
    for (std::size_t k = 0; k < alphabetSize; ++k) {
      std::size_t index = base;
      for (std::size_t t = 0; t < windowLength; ++t) {
        if (weights[t] != 0) {
          index += weights[t] * decipherTable[k][window.symbols[t]];
        }
      }
      gains[k] += levels[index];
    }
  }

  std::size_t period_;
  std::vector<std::vector<Window>> steps_;  // the windows that each key letter completes
};

// How often two letters drawn from a column are the same; 0 for fewer than two letters.
double indexOfCoincidence(const LetterCounts& counts) {
  std::uint64_t letters = 0;
  double pairs = 0;
  for (std::uint64_t count : counts) {
    letters += count;
    pairs += static_cast<double>(count) * static_cast<double>(count - (count > 0));
  }
  if (letters < 2) {
    return 0;
  }
  return pairs / (static_cast<double>(letters) * static_cast<double>(letters - 1));
}

// The columns' index of coincidence, averaged.
double meanCoincidence(const std::vector<LetterCounts>& columns) {
  if (columns.empty()) {
    return 0;
  }
  double sum = 0;
  for (const LetterCounts& column : columns) {
    sum += indexOfCoincidence(column);
  }
  return sum / static_cast<double>(columns.size());
}

// The period's columns' index of coincidence, averaged.
double indexOfCoincidence(const Letters& cipher, std::size_t period) {
  std::vector<LetterCounts> columns(period);
  for (std::size_t column = 0; column < period; ++column) {
    columns[column] = columnCounts(cipher, period, column);
  }
  return meanCoincidence(columns);
}

using PeriodTrials = std::vector<CrackExplanation::Period>;

// The periods worth a search: all of those whose columns are too short for the index of
// coincidence to tell, and of the others those whose columns look like English letters. When
// none does, the text is no English under any key looked for; the few periods whose columns
// come nearest still give the best key there is.
// Each period weighed is noted in trials.
std::vector<std::size_t> candidatePeriods(const Letters& cipher, PeriodTrials& trials) {
  const std::size_t periods = std::min(maximumKeyLength, cipher.size());
  std::vector<std::size_t> candidates;
  std::vector<std::pair<double, std::size_t>> nearest;
  for (std::size_t period = 1; period <= periods; ++period) {
    const double coincidence = indexOfCoincidence(cipher, period);
    trials.push_back({period, coincidence, std::nullopt});
    if (cipher.size() / period < coincidenceColumnLetters) {
      candidates.push_back(period);
      continue;
    }
    if (coincidence >= englishCoincidence) {
      candidates.push_back(period);
    }
    nearest.emplace_back(-coincidence, period);
  }
  if (candidates.empty()) {
    std::sort(nearest.begin(), nearest.end());
    for (std::size_t i = 0; i < std::min(nearest.size(), nearestPeriods); ++i) {
      candidates.push_back(nearest[i].second);
    }
    std::sort(candidates.begin(), candidates.end());
  }
  return candidates;
}

// The shortest period whose repetition gives the key.
Key shortestPeriod(const Key& key) {
  const std::span<const std::uint8_t> letters(key);
  for (std::size_t p = 1; p < letters.size(); ++p) {
    const std::span<const std::uint8_t> rest = letters.subspan(p);
    if (letters.size() % p == 0 && std::equal(rest.begin(), rest.end(), letters.begin())) {
      const std::span<const std::uint8_t> period = letters.first(p);
      return {period.begin(), period.end()};
    }
  }
  return key;
}

std::string keyText(const Key& key) {
  std::string text(key.size(), 'A');
  std::transform(key.begin(), key.end(), text.begin(),
                 [](std::uint8_t k) { return vigenere[0][k]; });
  return text;
}

// How well a period's best key fits, less what its length alone buys.
double fit(const PeriodSearch& search) {
  return static_cast<double>(search.bestScore()) * englishStatistics().levelStep -
         periodPenalty * static_cast<double>(search.period());
}

// Searches every candidate period: by a beam where its columns are short, else by climbing.
std::vector<PeriodSearch> searchPeriods(const Cipher& cipher, PeriodTrials& trials) {
  const std::vector<std::size_t> periods = candidatePeriods(cipher.letters, trials);
  Deadline deadline(searchTime);
  std::vector<PeriodSearch> searches;
  searches.reserve(periods.size());
  for (std::size_t period : periods) {
    searches.emplace_back(cipher, period);
    PeriodSearch& search = searches.back();
    search.climbFromColumns();
    const std::size_t columnLetters = cipher.letters.size() / period;
    if (columnLetters < beamColumnLetters) {
      const std::size_t width =
          columnLetters < 3
              ? shortBeam
              : std::clamp(beamScale / (columnLetters * columnLetters), leastBeam, beamWidth);
      for (const Key& key : BeamSearch(cipher, period).run(width, beamKeysClimbed, deadline)) {
        search.climbFrom(key);
      }
    }
    trials[period - 1].fit = fit(search);
  }
  return searches;
}

CrackVerdict verdictOn(const CrackSample& sample, const Cipher& cipher, const Key& key) {
  const std::size_t keyLength = key.size();
  const std::uint64_t letters = sample.letterCount();
  if (letters < minimumLettersPerKeyLetter * keyLength || letters < minimumLetters ||
      letters <= keyLength) {
    return CrackVerdict::tooShort;
  }
  if (indexOfCoincidence(cipher.letters, keyLength) > mostCoincidence) {
    return CrackVerdict::tooFewLetters;
  }
  std::string plain = sample.spacedLetters();
  VigenereStream(keyText(key)).decipher(plain);
  if (!englishFit(plain).readsAsEnglish) {
    return CrackVerdict::notEnglish;
  }
  return CrackVerdict::sure;
}

// The search on a sample: its key, and what it weighed on the way.
struct KeySearch {
  Key key;
  VigenereCrack crack;
  PeriodTrials periods;
  std::size_t searchedPeriod = 0;
};

KeySearch searchKey(const CrackSample& sample) {
  KeySearch result;
  const Cipher cipher = cipherOf(sample);
  std::vector<PeriodSearch> searches = searchPeriods(cipher, result.periods);
  const PeriodSearch& best = *std::max_element(
      searches.begin(), searches.end(),
      [](const PeriodSearch& a, const PeriodSearch& b) { return fit(a) < fit(b); });
  result.key = shortestPeriod(best.best());
  result.crack = {keyText(result.key), verdictOn(sample, cipher, result.key)};
  result.searchedPeriod = best.period();
  return result;
}

// Each key letter's column: its counts, and how each shift fits them.
std::vector<CrackExplanation::Column> keyColumns(
    const Key& key, const std::vector<std::array<std::uint64_t, alphabetSize>>& counts) {
  std::vector<CrackExplanation::Column> columns(key.size());
  for (std::size_t j = 0; j < key.size(); ++j) {
    columns[j].counts = counts[j];
    columns[j].fit = shiftFits(counts[j]);
    columns[j].shift = key[j];
    columns[j].runnerUp = bestShift(columns[j].fit, key[j]);
  }
  return columns;
}

LetterCounts totalCounts(const std::vector<LetterCounts>& columns) {
  LetterCounts total{};
  for (const LetterCounts& column : columns) {
    for (std::size_t x = 0; x < alphabetSize; ++x) {
      total[x] += column[x];
    }
  }
  return total;
}

}  // namespace

void CrackSample::add(std::string_view chunk) {
  for (char c : chunk) {
    if (isAsciiLetter(c)) {
      addLetter(toAsciiUpper(c));
    } else {
      addNonLetter();
    }
  }
}

std::string CrackSample::spacedLetters() const {
  std::string text;
  text.reserve(2 * letters_.size());
  for (std::size_t i = 0; i < letters_.size(); ++i) {
    if (nonLettersBefore_[i]) {
      text += ' ';
    }
    text += letters_[i];
  }
  if (nonLettersBefore_.back()) {
    text += ' ';
  }
  return text;
}

std::optional<VigenereCrack> crackVigenere(const CrackSample& sample) {
  if (sample.letters().empty()) {
    return std::nullopt;
  }
  return searchKey(sample).crack;
}

std::string verdictWarning(CrackVerdict verdict) {
  switch (verdict) {
    case CrackVerdict::tooShort:
      return "the text is too short to be sure of the key";
    case CrackVerdict::tooFewLetters:
      return "the text holds too few different letters to be sure of the key";
    case CrackVerdict::notEnglish:
      return "not sure of the key: the text does not read as English under it (is the key "
             "longer than " +
             std::to_string(maximumKeyLength) + " letters?)";
    case CrackVerdict::sure:
      break;
  }
  return {};
}

// Every letter goes into the columns, the first ones into the sample and the first letters too.
void ExplainedSample::add(std::string_view chunk) {
  const std::size_t before = firstLetters_.size();
  fillFirstLetters(chunk);
  sample_.countBeyond(columns_.add(chunk) - (firstLetters_.size() - before));
}

void ExplainedSample::fillFirstLetters(std::string_view chunk) {
  for (std::size_t i = 0;
       i < chunk.size() && firstLetters_.size() < CrackExplanation::repeatLetters; ++i) {
    if (!isAsciiLetter(chunk[i])) {
      sample_.addNonLetter();
      continue;
    }
    const char capital = toAsciiUpper(chunk[i]);
    firstLetters_.push_back(capital);
    sample_.addLetter(capital);
  }
}

std::optional<CrackExplanation> explainVigenereCrack(const ExplainedSample& text) {
  const CrackSample& sample = text.sample();
  if (sample.letters().empty()) {
    return std::nullopt;
  }
  KeySearch search = searchKey(sample);
  CrackExplanation explanation;
  explanation.letters = sample.letterCount();
  explanation.sampleLetters = sample.letters().size();
  explanation.periodPenalty = periodPenalty;
  explanation.searchedPeriod = search.searchedPeriod;
  explanation.periods = std::move(search.periods);
  // The search weighed each period by the sample; what is shown is of the whole text.
  for (CrackExplanation::Period& period : explanation.periods) {
    period.coincidence = meanCoincidence(text.columnCounts(period.period));
  }
  const std::vector<LetterCounts> counts = text.columnCounts(search.key.size());
  explanation.coincidence = indexOfCoincidence(totalCounts(counts));
  explanation.columns = keyColumns(search.key, counts);
  Repeats repeats = findRepeats(text.firstLetters(), CrackExplanation::listedRepeats);
  explanation.repeats = std::move(repeats.listed);
  explanation.divisors = repeats.divisors;
  explanation.crack = std::move(search.crack);
  return explanation;
}
