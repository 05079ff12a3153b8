// parseDigitString on arbitrary bytes: whatever it is given, it must stay inside the string.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "digit_string.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A view of the fuzzer's own buffer, which has no terminator and no slack after its last byte:
  // a read one past the end is caught at once (a std::string copy would hide it).
  const std::string_view ctext(reinterpret_cast<const char*>(data), size);
  const WalkValues values = parseDigitString(ctext);
  // Each value comes from at least one character of its own.
  if (values.size() > ctext.size()) {
    __builtin_trap();
  }
  return 0;
}
