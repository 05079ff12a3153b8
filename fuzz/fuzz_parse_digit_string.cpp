// The personal method's decryption of one line of arbitrary bytes takes exactly what the writer
// can write: where it accepts the line, the line's values written back with the same length
// digits give the line again, and neighbouring values lie at most 255 apart; where it refuses,
// one of those fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "digit_string.hpp"
#include "personal_method.hpp"

namespace {

void require(bool holds) {
  if (!holds) {
    std::abort();
  }
}

struct Piece {
  std::int32_t value;
  std::uint32_t draw;  // odd where the length digit is the count of digits, even where 10 - it
};

// The pieces of the line as the reader takes them, and whether they make up the whole line.
std::vector<Piece> readPieces(std::string_view line, bool& whole) {
  std::vector<Piece> pieces;
  ReadValue piece = readStartValue(line);
  while (piece.reading == Reading::complete) {
    const std::string_view group = line.substr(0, piece.length);
    const char lengthDigit = group.size() > 1 && group[0] == '0' ? group[1] : group[0];
    pieces.push_back({piece.value, pieces.empty() || lengthDigit < '5' ? 1U : 2U});
    line.remove_prefix(piece.length);
    if (line.empty()) {
      whole = true;
      return pieces;
    }
    piece = readGroup(line, piece.value);
  }
  whole = false;
  return pieces;
}

std::string writeBack(const std::vector<Piece>& pieces) {
  std::string line(startValueLength + longestGroup * pieces.size(), '\0');
  char* out = writeStartValue(line.data(), pieces.front().value);
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    std::uint32_t draw = pieces[i].draw;
    out = writeGroup(out, pieces[i - 1].value, pieces[i].value, [&draw] { return draw; });
  }
  line.resize(static_cast<std::size_t>(out - line.data()));
  return line;
}

bool stepsFit(const std::vector<Piece>& pieces) {
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (std::abs(pieces[i].value - pieces[i - 1].value) > longestStep) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A view of the fuzzer's own buffer, which has no slack after its last byte: a read one past
  // the end is caught at once. Line ends are the decoder's, not the line's, and no bytes at all
  // are no line.
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  if (line.empty() || line.find_first_of("\r\n") != std::string_view::npos) {
    return 0;
  }
  const std::optional<std::string> text = decipherPersonal(line);
  bool whole = false;
  const std::vector<Piece> pieces = readPieces(line, whole);
  const bool writable = whole && stepsFit(pieces) && writeBack(pieces) == line;
  require(text.has_value() == writable);
  require(!text || text->size() + 1 == pieces.size());
  return 0;
}
