#include "personal_method.hpp"

std::string decodeWalk(const WalkValues& asciivalues) {
  std::string plaintext;
  plaintext.reserve(asciivalues.empty() ? 0 : asciivalues.size() - 1);
  for (std::size_t i = 0; i + 1 < asciivalues.size(); ++i) {
    const auto distance = std::llabs(std::int64_t{asciivalues[i]} - asciivalues[i + 1]);
    plaintext.push_back(static_cast<char>(distance & 0xFF));
  }
  return plaintext;
}

std::mt19937 seededFromClock(std::time_t now) {
  return std::mt19937(static_cast<std::uint32_t>(now));
}
