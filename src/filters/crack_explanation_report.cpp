#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "crack_explanation_printers.hpp"
#include "english_statistics.hpp"
#include "vigenere.hpp"

#ifndef _WIN32
#include <langinfo.h>
#endif

namespace {

constexpr std::size_t alphabet = CrackExplanation::alphabet;
constexpr std::size_t width = 80;
constexpr double englishCoincidence = 0.066;
constexpr double uniformCoincidence = 1.0 / 26;
constexpr std::size_t periodBarWidth = 40;
constexpr std::size_t divisorBarWidth = 60;
constexpr std::size_t chartRows = 4;
constexpr std::size_t openingBytes = 72;
constexpr std::string_view alphabetRow = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// printf into a string; every format here is a literal.
template <typename... Values>
std::string format(const char* pattern, Values... values) {
  std::vector<char> text(static_cast<std::size_t>(std::snprintf(nullptr, 0, pattern, values...)) +
                         1);
  std::snprintf(text.data(), text.size(), pattern, values...);
  return std::string(text.data());
}

// A bar of this many whole cells.
std::string bar(std::size_t cells, ReportStyle style) {
  std::string text;
  for (std::size_t i = 0; i < cells; ++i) {
    text += style.blocks ? "\u2588" : "#";
  }
  return text;
}

// Words filled into lines of at most `width` columns, each line begun by `indent`.
std::string wrap(std::string_view words, std::string_view indent) {
  std::string text;
  std::string line(indent);
  std::istringstream in{std::string(words)};
  for (std::string word; in >> word;) {
    if (line.size() > indent.size() && line.size() + 1 + word.size() > width) {
      text += line + '\n';
      line = indent;
    }
    line += (line.size() > indent.size() ? " " : "") + word;
  }
  return text + line + '\n';
}

std::string textSection(const CrackExplanation& explanation) {
  std::string text = "The text\n";
  text += format("  %llu letters, index of coincidence %.4f (English %.3f, uniform text %.3f)\n",
                 static_cast<unsigned long long>(explanation.letters), explanation.coincidence,
                 englishCoincidence, uniformCoincidence);
  if (explanation.sampleLetters < explanation.letters) {
    // The periods' indices of coincidence are of every letter; what the search weighed is not.
    text += format("  The key search, whose fits and dashes follow, reads the first %zu of them.\n",
                   explanation.sampleLetters);
  }
  const std::string warning = verdictWarning(explanation.crack.verdict);
  if (!warning.empty()) {
    text += wrap("Warning: " + warning + '.', "  ");
  }
  return text;
}

std::size_t barCells(double value, double low, double high, std::size_t cells) {
  if (high <= low) {
    return cells;
  }
  return 1 + static_cast<std::size_t>(
                 std::lround((value - low) / (high - low) * static_cast<double>(cells - 1)));
}

const CrackExplanation::Period* periodRow(const CrackExplanation& explanation, std::size_t period) {
  for (const CrackExplanation::Period& row : explanation.periods) {
    if (row.period == period) {
      return &row;
    }
  }
  return nullptr;
}

// Why the key's period won over its multiples, which fit any text at least as well before the
// penalty for their longer keys.
std::string periodReason(const CrackExplanation& explanation) {
  const std::size_t chosen = explanation.crack.key.size();
  std::string reason;
  if (explanation.searchedPeriod != chosen) {
    reason = format("The best key found, at period %zu, repeats itself every %zu letters. ",
                    explanation.searchedPeriod, chosen);
  }
  const CrackExplanation::Period* best = periodRow(explanation, explanation.searchedPeriod);
  std::string multiples;
  for (const CrackExplanation::Period& row : explanation.periods) {
    if (row.period > chosen && row.period % chosen == 0 && row.fit && best && best->fit &&
        row.period != explanation.searchedPeriod) {
      multiples +=
          format("%s %zu by %.1f", multiples.empty() ? "" : ",", row.period, *best->fit - *row.fit);
    }
  }
  reason += format(
      "Period %zu is chosen. A longer key fits any text better, so each key letter costs "
      "%.1f nats of fit",
      chosen, explanation.periodPenalty);
  reason += multiples.empty()
                ? std::string("; no multiple of the period came near.")
                : "; after that cost its multiples fit less, in nats:" + multiples + '.';
  return wrap(reason, "  ");
}

std::string periodsSection(const CrackExplanation& explanation, ReportStyle style) {
  double low = 0;
  double high = 0;
  bool any = false;
  for (const CrackExplanation::Period& row : explanation.periods) {
    if (row.fit) {
      low = any ? std::min(low, *row.fit) : *row.fit;
      high = any ? std::max(high, *row.fit) : *row.fit;
      any = true;
    }
  }
  std::string text =
      "\nThe periods\n  period  ic      fit (nats)  a dash: columns unlike English, not searched\n";
  for (const CrackExplanation::Period& row : explanation.periods) {
    text += format("  %6zu  %.4f  ", row.period, row.coincidence);
    if (row.fit) {
      text +=
          format("%10.1f  ", *row.fit) + bar(barCells(*row.fit, low, high, periodBarWidth), style);
    } else {
      text += "         -";
    }
    text += row.period == explanation.crack.key.size() ? " <\n" : "\n";
  }
  return text + periodReason(explanation);
}

// "  XYZ  at 3 places, distances 12 24" cut to the line's width.
std::string repeatLine(const CrackExplanation::Repeat& repeat) {
  std::string line =
      format("  %s  %4zu times, distances", repeat.sequence.c_str(), repeat.positions.size());
  for (std::size_t i = 0; i < repeat.distances.size(); ++i) {
    const std::string next = format(" %zu", repeat.distances[i]);
    if (line.size() + next.size() + 4 > width) {
      return line + " ...\n";
    }
    line += next;
  }
  return line + '\n';
}

std::string repeatsSection(const CrackExplanation& explanation, ReportStyle style) {
  std::string text = format(
      "\nThe repeats\n  Three-letter sequences repeated in the first %zu letters, the most\n"
      "  frequent first:\n",
      CrackExplanation::repeatLetters);
  if (explanation.repeats.empty()) {
    text += "  none\n";
  }
  for (const CrackExplanation::Repeat& repeat : explanation.repeats) {
    text += repeatLine(repeat);
  }
  text += "  How many of all their distances each period divides:\n";
  const std::uint64_t most =
      *std::max_element(explanation.divisors.begin(), explanation.divisors.end());
  for (std::size_t i = 0; i < explanation.divisors.size(); ++i) {
    const std::uint64_t count = explanation.divisors[i];
    const std::size_t cells =
        most == 0 ? 0
                  : static_cast<std::size_t>(
                        std::lround(static_cast<double>(count) / static_cast<double>(most) *
                                    static_cast<double>(divisorBarWidth)));
    text += format("  %6zu %8llu ", i + CrackExplanation::firstDivisor,
                   static_cast<unsigned long long>(count)) +
            bar(cells, style) + '\n';
  }
  return text;
}

// Rows of a chart of 26 columns, top row first, each value drawn against `top`.
std::vector<std::string> chart(const std::array<double, alphabet>& values, double top,
                               ReportStyle style) {
  static constexpr std::array<const char*, 9> eighths{
      " ", "\u2581", "\u2582", "\u2583", "\u2584", "\u2585", "\u2586", "\u2587", "\u2588"};
  const std::size_t levels = style.blocks ? 8 : 1;
  std::vector<std::string> rows(chartRows);
  for (double value : values) {
    const auto height = static_cast<std::size_t>(
        top <= 0 ? 0 : std::lround(value / top * static_cast<double>(chartRows * levels)));
    for (std::size_t row = 0; row < chartRows; ++row) {
      const std::size_t below = (chartRows - 1 - row) * levels;
      const std::size_t fill = height <= below ? 0 : std::min(height - below, levels);
      rows[row] += style.blocks ? eighths[fill] : (fill ? "#" : " ");
    }
  }
  return rows;
}

std::string columnSection(const CrackExplanation& explanation, std::size_t j, ReportStyle style) {
  const CrackExplanation::Column& column = explanation.columns[j];
  const auto& logProbability = englishStatistics().letterLogProbability;
  std::uint64_t letters = 0;
  for (std::uint64_t count : column.counts) {
    letters += count;
  }
  std::array<double, alphabet> counts{};
  std::array<double, alphabet> expected{};
  for (std::size_t x = 0; x < alphabet; ++x) {
    counts[x] = static_cast<double>(column.counts[x]);
    const std::size_t plain = *findInRow(vigenere[column.shift], static_cast<char>('A' + x));
    expected[x] = static_cast<double>(letters) * std::exp(logProbability[plain]);
  }
  const double top = std::max(*std::max_element(counts.begin(), counts.end()),
                              *std::max_element(expected.begin(), expected.end()));
  const double worse = column.fit[column.shift] - column.fit[column.runnerUp];
  std::string text = format("  Key letter %zu of %zu: %c (shift %zu); runner-up %c (shift %zu), ",
                            j + 1, explanation.columns.size(), 'A' + column.shift, column.shift,
                            'A' + column.runnerUp, column.runnerUp);
  text +=
      worse >= 0 ? format("%.1f nats worse\n", worse) : format("%.1f nats better alone\n", -worse);
  text +=
      format("    %-26s    English at shift %zu\n",
             format("the column's %llu letters", static_cast<unsigned long long>(letters)).c_str(),
             column.shift);
  const std::vector<std::string> left = chart(counts, top, style);
  const std::vector<std::string> right = chart(expected, top, style);
  for (std::size_t row = 0; row < chartRows; ++row) {
    text += "    " + left[row] + "    " + right[row] + '\n';
  }
  return text + "    " + std::string(alphabetRow) + "    " + std::string(alphabetRow) + '\n';
}

std::string keySection(const CrackExplanation& explanation, ReportStyle style) {
  std::string text =
      "\nThe key\n  Each key letter's column against English's letters enciphered by it; a\n"
      "  shift's fit is how English its column reads deciphered, letter by letter.\n";
  for (std::size_t j = 0; j < explanation.columns.size(); ++j) {
    text += columnSection(explanation, j, style);
  }
  return text;
}

// The opening as a line: white space as spaces, any other byte that is no printable ASCII as '?'.
std::string printable(std::string_view opening) {
  std::string line(opening.substr(0, openingBytes));
  for (char& c : line) {
    if (c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f') {
      c = ' ';
    } else if (c < ' ' || c > '~') {
      c = '?';
    }
  }
  return line;
}

std::string resultSection(const CrackExplanation& explanation, std::string_view opening) {
  return format("\nThe result\n  key %s (%zu letters)\n  %s\n", explanation.crack.key.c_str(),
                explanation.crack.key.size(), printable(opening).c_str());
}

// The charts' empty cells end no line.
std::string withoutTrailingSpaces(std::string_view text) {
  std::string trimmed;
  trimmed.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    }
    trimmed += c;
  }
  return trimmed;
}

}  // namespace

bool localeUsesUtf8() {
#ifdef _WIN32
  return false;
#else
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  if (std::setlocale(LC_CTYPE, "") == nullptr) {
    return false;
  }
  const std::string_view codeset = nl_langinfo(CODESET);
  const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
  std::setlocale(LC_CTYPE, saved.c_str());
  return utf8;
#endif
}

std::string explanationReport(const CrackExplanation& explanation, std::string_view opening,
                              ReportStyle style) {
  return withoutTrailingSpaces(textSection(explanation) + periodsSection(explanation, style) +
                               repeatsSection(explanation, style) + keySection(explanation, style) +
                               resultSection(explanation, opening));
}
