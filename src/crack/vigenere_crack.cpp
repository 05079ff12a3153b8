#include "vigenere_crack.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "ascii.hpp"
#include "english_statistics.hpp"
#include "mt19937.hpp"
#include "vigenere.hpp"

namespace {

using Letters = std::vector<std::uint8_t>;  // alphabet positions, A = 0 to Z = 25
using Key = std::vector<std::uint8_t>;

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

constexpr std::size_t quadgramLength = 4;

// A longer period fits any text better: each key letter more must better the fit by this many
// nats to be chosen. Chosen on prose the accuracy benchmark does not use (Emma): at 2.5 short
// texts took a multiple of their key's period; from 7 to 12 the results hardly differed.
constexpr double periodPenalty = 8.0;

// After its first climb, the search restarts from changed keys on the periods that fit best
// so far, as many as this, ...
constexpr std::size_t restartedPeriods = 10;
// ... until this many restarts in a row found nothing better. Columns of 24 letters or more
// need none, columns of 12 or more half as many.
constexpr int staleRestarts = 8;

// English deciphered under its key scores some 33 to 39 levels a quadgram, depending on its
// length; a ciphertext of a few hundred letters or more deciphered under a wrong key, fewer
// than 20.
constexpr double englishMeanLevel = 27;

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

Letters alphabetPositions(const std::string& letters) {
  Letters positions(letters.size());
  std::transform(letters.begin(), letters.end(), positions.begin(),
                 [](char c) { return static_cast<std::uint8_t>(c - 'A'); });
  return positions;
}

// The best key of one period that climbing finds: one key letter at a time changes to the best
// for its column while the others stay, until no change betters the score, the sum of the
// levels of the deciphered text's quadgrams.
class PeriodSearch {
 public:
  PeriodSearch(const Letters& cipher, std::size_t period)
      : cipher_(cipher),
        period_(period),
        plain_(cipher.size()),
        levels_(englishStatistics().quadgramLevels) {}

  // Climbs from the letters that suit each column alone.
  void climbFromColumns() {
    best_ = columnByColumn();
    for (std::size_t column = 0; column < period_; ++column) {
      setColumn(column, best_[column]);
    }
    std::vector<std::size_t> work(period_);
    for (std::size_t column = 0; column < period_; ++column) {
      work[column] = column;
    }
    bestScore_ = climb(best_, totalScore(), work);
  }

  // Climbs again from the best key with a few letters changed at random, until that many
  // climbs in a row found nothing better.
  void climbFromChanges(Mt19937& draws, int staleLimit) {
    std::vector<std::size_t> work;
    for (int stale = 0; stale < staleLimit;) {
      Key trial = best_;
      long trialScore = bestScore_;
      work.clear();
      const std::size_t changes = 1 + draws() % std::max<std::size_t>(1, period_ / 2);
      for (std::size_t i = 0; i < changes; ++i) {
        const std::size_t column = draws() % period_;
        trialScore +=
            changeColumn(trial, column, static_cast<std::uint8_t>(draws() % alphabetSize));
        addNeighbours(work, column);
        work.push_back(column);
      }
      trialScore = climb(trial, trialScore, work);
      if (trialScore > bestScore_) {
        best_ = trial;
        bestScore_ = trialScore;
        stale = 0;
        continue;
      }
      for (std::size_t column = 0; column < period_; ++column) {
        if (trial[column] != best_[column]) {
          changeColumn(trial, column, best_[column]);
        }
      }
      ++stale;
    }
  }

  const Key& best() const { return best_; }
  long bestScore() const { return bestScore_; }
  std::size_t period() const { return period_; }

 private:
  // Each column's letter alone, by how English its deciphered letters are.
  Key columnByColumn() const {
    const auto& logProbability = englishStatistics().letterLogProbability;
    Key key(period_);
    for (std::size_t column = 0; column < period_; ++column) {
      double bestFit = 0;
      for (std::uint8_t k = 0; k < alphabetSize; ++k) {
        double fit = 0;
        for (std::size_t i = column; i < cipher_.size(); i += period_) {
          fit += logProbability[decipherTable[k][cipher_[i]]];
        }
        if (k == 0 || fit > bestFit) {
          bestFit = fit;
          key[column] = k;
        }
      }
    }
    return key;
  }

  void setColumn(std::size_t column, std::uint8_t k) {
    const auto& row = decipherTable[k];
    for (std::size_t i = column; i < cipher_.size(); i += period_) {
      plain_[i] = row[cipher_[i]];
    }
  }

  long quadgramAt(std::size_t s) const {
    const std::size_t index =
        ((plain_[s] * 26U + plain_[s + 1]) * 26U + plain_[s + 2]) * 26U + plain_[s + 3];
    return levels_[index];
  }

  long totalScore() const {
    long sum = 0;
    for (std::size_t s = 0; s + quadgramLength <= plain_.size(); ++s) {
      sum += quadgramAt(s);
    }
    return sum;
  }

  // The part of the score that the column's key letter can change. Below a period of four
  // every quadgram holds a letter of every column.
  long quadgramsTouching(std::size_t column) const {
    const std::size_t n = plain_.size();
    if (period_ < quadgramLength || n < quadgramLength) {
      return totalScore();
    }
    long sum = 0;
    for (std::size_t i = column; i < n; i += period_) {
      const std::size_t first = i < quadgramLength ? 0 : i - (quadgramLength - 1);
      const std::size_t last = std::min(i, n - quadgramLength);
      for (std::size_t s = first; s <= last; ++s) {
        sum += quadgramAt(s);
      }
    }
    return sum;
  }

  // Sets one key letter; returns how much the score changes.
  long changeColumn(Key& key, std::size_t column, std::uint8_t k) {
    const long before = quadgramsTouching(column);
    setColumn(column, k);
    key[column] = k;
    return quadgramsTouching(column) - before;
  }

  // The other columns that share a quadgram with the column.
  void addNeighbours(std::vector<std::size_t>& work, std::size_t column) const {
    const std::size_t reach = std::min(quadgramLength - 1, period_ - 1);
    for (std::size_t d = 1; d <= reach; ++d) {
      work.push_back((column + d) % period_);
      work.push_back((column + period_ - d) % period_);
    }
  }

  // Sets the column's best letter, the other columns as they are, keeping the current one on a
  // tie; returns how much the score grew.
  long setBestLetter(Key& key, std::size_t column) {
    const long current = quadgramsTouching(column);
    long best = current;
    std::uint8_t bestLetter = key[column];
    for (std::uint8_t k = 0; k < alphabetSize; ++k) {
      if (k == key[column]) {
        continue;
      }
      setColumn(column, k);
      const long fit = quadgramsTouching(column);
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

  const Letters& cipher_;
  std::size_t period_;
  Letters plain_;  // the ciphertext deciphered under the key being climbed
  const std::vector<std::uint8_t>& levels_;
  Key best_;
  long bestScore_ = 0;
};

// How often two letters drawn from one column are the same, averaged over the columns.
double indexOfCoincidence(const Letters& cipher, std::size_t period) {
  double sum = 0;
  for (std::size_t column = 0; column < period; ++column) {
    std::array<std::size_t, alphabetSize> counts{};
    std::size_t letters = 0;
    for (std::size_t i = column; i < cipher.size(); i += period) {
      ++counts[cipher[i]];
      ++letters;
    }
    std::size_t pairs = 0;
    for (std::size_t count : counts) {
      pairs += count * (count - 1);
    }
    sum += static_cast<double>(pairs) / static_cast<double>(letters * (letters - 1));
  }
  return sum / static_cast<double>(period);
}

// The periods worth a search: all of those whose columns are too short for the index of
// coincidence to tell, and of the others those whose columns look like English letters. When
// none does, the text is no English under any key looked for; the few periods whose columns
// come nearest still give the best key there is.
std::vector<std::size_t> candidatePeriods(const Letters& cipher) {
  const std::size_t periods = std::min(maximumKeyLength, cipher.size());
  std::vector<std::size_t> candidates;
  std::vector<std::pair<double, std::size_t>> nearest;
  for (std::size_t period = 1; period <= periods; ++period) {
    if (cipher.size() / period < coincidenceColumnLetters) {
      candidates.push_back(period);
      continue;
    }
    const double coincidence = indexOfCoincidence(cipher, period);
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

// Climbs once on every candidate period, then again from changed keys on those that fit best.
std::vector<PeriodSearch> searchPeriods(const Letters& cipher) {
  const std::vector<std::size_t> periods = candidatePeriods(cipher);
  std::vector<PeriodSearch> searches;
  searches.reserve(periods.size());
  for (std::size_t period : periods) {
    searches.emplace_back(cipher, period);
    searches.back().climbFromColumns();
  }
  std::vector<PeriodSearch*> order;
  order.reserve(searches.size());
  for (PeriodSearch& search : searches) {
    order.push_back(&search);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const PeriodSearch* a, const PeriodSearch* b) { return fit(*a) > fit(*b); });
  order.resize(std::min(order.size(), restartedPeriods));
  Mt19937 draws(20261208);
  for (PeriodSearch* search : order) {
    const std::size_t columnLetters = cipher.size() / search->period();
    search->climbFromChanges(draws, columnLetters >= 24   ? 0
                                    : columnLetters >= 12 ? staleRestarts / 2
                                                          : staleRestarts);
  }
  return searches;
}

CrackVerdict verdictOn(const CrackSample& sample, const Letters& cipher, std::size_t keyLength,
                       long score) {
  const std::uint64_t letters = sample.letterCount();
  if (letters < minimumLettersPerKeyLetter * keyLength || letters <= keyLength) {
    return CrackVerdict::tooShort;
  }
  if (indexOfCoincidence(cipher, keyLength) > mostCoincidence) {
    return CrackVerdict::tooFewLetters;
  }
  const std::size_t quadgrams = sample.letters().size() - (quadgramLength - 1);
  if (static_cast<double>(score) < englishMeanLevel * static_cast<double>(quadgrams)) {
    return CrackVerdict::notEnglish;
  }
  return CrackVerdict::sure;
}

}  // namespace

void CrackSample::add(std::string_view chunk) {
  for (char c : chunk) {
    if (isAsciiLetter(c)) {
      ++count_;
      if (letters_.size() < sampleLimit) {
        letters_.push_back(toAsciiUpper(c));
      }
    }
  }
}

std::optional<VigenereCrack> crackVigenere(const CrackSample& sample) {
  if (sample.letters().empty()) {
    return std::nullopt;
  }
  const Letters cipher = alphabetPositions(sample.letters());
  std::vector<PeriodSearch> searches = searchPeriods(cipher);
  const PeriodSearch& best = *std::max_element(
      searches.begin(), searches.end(),
      [](const PeriodSearch& a, const PeriodSearch& b) { return fit(a) < fit(b); });
  const Key key = shortestPeriod(best.best());
  return VigenereCrack{keyText(key), verdictOn(sample, cipher, key.size(), best.bestScore())};
}
