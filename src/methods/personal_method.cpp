#include "personal_method.hpp"

Mt19937 seededFromClock(std::time_t now) {
  return Mt19937(static_cast<std::uint32_t>(now));
}
