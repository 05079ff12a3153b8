#include <nlohmann/json.hpp>

#include "crack_explanation_printers.hpp"

namespace {

using Json = nlohmann::ordered_json;

std::string letterOf(std::size_t shift) {
  return std::string(1, static_cast<char>('A' + shift));
}

Json periodsJson(const CrackExplanation& explanation) {
  Json periods = Json::array();
  for (const CrackExplanation::Period& period : explanation.periods) {
    periods.push_back({{"period", period.period},
                       {"ic", period.coincidence},
                       {"fit", period.fit ? Json(*period.fit) : Json(nullptr)}});
  }
  return periods;
}

Json repeatsJson(const CrackExplanation& explanation) {
  Json repeats = Json::array();
  for (const CrackExplanation::Repeat& repeat : explanation.repeats) {
    repeats.push_back({{"sequence", repeat.sequence},
                       {"positions", repeat.positions},
                       {"distances", repeat.distances}});
  }
  return repeats;
}

Json divisorsJson(const CrackExplanation& explanation) {
  Json divisors = Json::array();
  for (std::size_t i = 0; i < explanation.divisors.size(); ++i) {
    divisors.push_back(
        {{"period", i + CrackExplanation::firstDivisor}, {"count", explanation.divisors[i]}});
  }
  return divisors;
}

Json columnsJson(const CrackExplanation& explanation) {
  Json columns = Json::array();
  for (const CrackExplanation::Column& column : explanation.columns) {
    columns.push_back({{"counts", column.counts},
                       {"shift", column.shift},
                       {"letter", letterOf(column.shift)},
                       {"fit", column.fit},
                       {"runner_up",
                        {{"shift", column.runnerUp},
                         {"letter", letterOf(column.runnerUp)},
                         {"worse_by", column.fit[column.shift] - column.fit[column.runnerUp]}}}});
  }
  return columns;
}

}  // namespace

std::string explanationJson(const CrackExplanation& explanation) {
  const std::string warning = verdictWarning(explanation.crack.verdict);
  const Json json = {{"letters", explanation.letters},
                     {"ic", explanation.coincidence},
                     {"periods", periodsJson(explanation)},
                     {"period", explanation.crack.key.size()},
                     {"repeats", repeatsJson(explanation)},
                     {"divisors", divisorsJson(explanation)},
                     {"columns", columnsJson(explanation)},
                     {"key", explanation.crack.key},
                     {"warning", warning.empty() ? Json(nullptr) : Json(warning)}};
  return json.dump() + '\n';
}
