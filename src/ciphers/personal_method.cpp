#include "personal_method.hpp"

std::string decodeWalk(const WalkValues& asciivalues) {
  std::string plaintext(asciivalues.empty() ? 0 : asciivalues.size() - 1, '\0');
  for (std::size_t i = 0; i < plaintext.size(); ++i) {
    const auto distance = std::llabs(std::int64_t{asciivalues[i]} - asciivalues[i + 1]);
    plaintext[i] = static_cast<char>(distance & 0xFF);
  }
  return plaintext;
}

Mt19937 seededFromClock(std::time_t now) {
  return Mt19937(static_cast<std::uint32_t>(now));
}
