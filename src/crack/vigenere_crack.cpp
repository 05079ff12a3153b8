#include "vigenere_crack.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "ascii.hpp"
#include "english_fit.hpp"
#include "english_statistics.hpp"
#include "mt19937.hpp"
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

constexpr std::size_t quadgramLength = 4;

// After its first climb, the search restarts from changed keys on the periods that fit best
// so far, as many as this, ...
constexpr std::size_t restartedPeriods = 10;
// ... until this many restarts in a row found nothing better. Columns of 24 letters or more
// need none, columns of 12 or more half as many.
constexpr int staleRestarts = 8;

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
    Key key(period_);
    for (std::size_t column = 0; column < period_; ++column) {
      key[column] =
          static_cast<std::uint8_t>(bestShift(shiftFits(columnCounts(cipher_, period_, column))));
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
double indexOfCoincidence(const Letters& cipher, std::size_t period) {
  double sum = 0;
  for (std::size_t column = 0; column < period; ++column) {
    sum += indexOfCoincidence(columnCounts(cipher, period, column));
  }
  return sum / static_cast<double>(period);
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

// Climbs once on every candidate period, then again from changed keys on those that fit best.
std::vector<PeriodSearch> searchPeriods(const Letters& cipher, PeriodTrials& trials) {
  const std::vector<std::size_t> periods = candidatePeriods(cipher, trials);
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
  for (const PeriodSearch& search : searches) {
    trials[search.period() - 1].fit = fit(search);
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

// The search on a sample: its key, and what it weighed on the way.
struct KeySearch {
  Key key;
  VigenereCrack crack;
  PeriodTrials periods;
  std::size_t searchedPeriod = 0;
};

KeySearch searchKey(const CrackSample& sample) {
  KeySearch result;
  const Letters cipher = alphabetPositions(sample.letters());
  std::vector<PeriodSearch> searches = searchPeriods(cipher, result.periods);
  const PeriodSearch& best = *std::max_element(
      searches.begin(), searches.end(),
      [](const PeriodSearch& a, const PeriodSearch& b) { return fit(a) < fit(b); });
  result.key = shortestPeriod(best.best());
  result.crack = {keyText(result.key),
                  verdictOn(sample, cipher, result.key.size(), best.bestScore())};
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

}  // namespace

void CrackSample::add(std::string_view chunk) {
  for (char c : chunk) {
    if (isAsciiLetter(c)) {
      addLetter(toAsciiUpper(c));
    }
  }
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
    if (isAsciiLetter(chunk[i])) {
      const char capital = toAsciiUpper(chunk[i]);
      firstLetters_.push_back(capital);
      sample_.addLetter(capital);
    }
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
