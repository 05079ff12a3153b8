#include "personal_encoder.hpp"

char* PersonalEncoder::encodeFromParities(std::string_view text, const std::uint8_t* parities,
                                          char* out) {
  std::size_t next = 0;
  auto drawn = [&parities, &next] { return std::uint32_t{parities[next++]}; };
  while (!text.empty()) {
    const std::size_t done = kernels_->encodeWalk(text, parities + next, last_, out);
    next += 2 * done;
    text.remove_prefix(done);
    // The block in which the walk reaches a limit, byte by byte.
    const std::size_t turning = std::min(text.size(), walkBlock);
    out = encode(text.substr(0, turning), out, drawn, drawn);
    text.remove_prefix(turning);
  }
  return out;
}

char* PersonalEncoder::encodeFromGenerator(std::string_view text, char* out, Mt19937& generator) {
  while (!text.empty()) {
    const std::span<const std::uint8_t> parities = generator.upcomingParities();
    if (parities.size() == 1) {
      // A byte whose two draws lie either side of a refill.
      out = encode(text.substr(0, 1), out, generator, generator);
      text.remove_prefix(1);
      continue;
    }
    const std::size_t count = std::min(text.size(), parities.size() / 2);
    out = encodeFromParities(text.substr(0, count), parities.data(), out);
    generator.skip(2 * count);
    text.remove_prefix(count);
  }
  return out;
}
