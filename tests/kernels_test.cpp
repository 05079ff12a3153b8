#include "kernels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "rot13.hpp"
#include "vigenere.hpp"

namespace {

// Every byte value, many times over, in an order that puts each beside many others.
std::string everyByte(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>(i % 2 == 0 ? i / 2 % 256 : random() % 256);
  }
  return text;
}

}  // namespace

TEST(Kernels, ThePortableSetComesFirstAndTheChosenOneIsAvailable) {
  const auto sets = availableKernelSets();
  ASSERT_FALSE(sets.empty());
  EXPECT_EQ(sets.front(), &portableKernels());
  EXPECT_NE(std::find(sets.begin(), sets.end(), &chosenKernels()), sets.end());
}

// Each set rotates every byte as the plain one does, for every length from 0 to 130 at every
// offset within a block of 32.
TEST(Kernels, EverySetRotatesAsThePortableOne) {
  const std::string text = everyByte(32 + 130, 1);
  for (const KernelSet* set : availableKernelSets()) {
    for (std::size_t offset = 0; offset < 32; ++offset) {
      for (std::size_t length = 0; length <= 130; ++length) {
        std::string expected = text.substr(offset, length);
        std::string rotated = expected;
        portableKernels().rotate13(expected);
        set->rotate13(rotated);
        ASSERT_EQ(rotated, expected) << set->name << ", offset " << offset << ", length " << length;
      }
    }
  }
}

// Under keys of 1 to 40 letters, each set enciphers and deciphers a stream of every byte value,
// and one of letters only (a block of them moves the key on by a whole block), cut into pieces of
// every length from 0 to 130, as the plain one does.
TEST(Kernels, EverySetShiftsVigenereStreamsAsThePortableOne) {
  std::mt19937 random(2);
  std::string letters = everyByte(131 * 132 / 2, 4);
  for (char& c : letters) {
    c = static_cast<char>((c & 0x20) + 'A' + static_cast<unsigned char>(c) % 26);
  }
  for (const std::string& text : {everyByte(131 * 132 / 2, 3), letters}) {
    for (const KernelSet* set : availableKernelSets()) {
      for (std::size_t keyLength = 1; keyLength <= 40; ++keyLength) {
        std::string key(keyLength, 'a');
        for (char& c : key) {
          c = static_cast<char>((random() % 2 == 0 ? 'a' : 'A') + random() % 26);
        }
        VigenereStream plain(key, portableKernels());
        VigenereStream tested(key, *set);
        std::string expected = text;
        std::string shifted = text;
        std::span<char> plainRest(expected);
        std::span<char> testedRest(shifted);
        for (std::size_t piece = 0; !plainRest.empty(); ++piece) {
          const std::size_t length = std::min(piece % 131, plainRest.size());
          if (keyLength % 2 == 0) {
            plain.encipher(plainRest.first(length));
            tested.encipher(testedRest.first(length));
          } else {
            plain.decipher(plainRest.first(length));
            tested.decipher(testedRest.first(length));
          }
          plainRest = plainRest.subspan(length);
          testedRest = testedRest.subspan(length);
        }
        ASSERT_EQ(shifted, expected) << set->name << ", key " << key;
      }
    }
  }
}
