#include "personal_walk.hpp"
#include "portable.hpp"

// The plain walk never stops: it turns at the limits as it goes.
std::size_t portable::encodeWalk(std::string_view text, const std::uint8_t* parities,
                                 std::int32_t& last, char*& out) {
  std::size_t next = 0;
  auto drawn = [&parities, &next] { return std::uint32_t{parities[next++]}; };
  out = walkAndWrite(text, last, out, drawn, drawn);
  return text.size();
}
