#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>

#include "ciphers/digit_string.hpp"
#include "ciphers/personal_method.hpp"
#include "console/menu_loop.hpp"

namespace {

const std::string menu =
    "\n"
    "Choose Method\n"
    "------------------\n"
    "V: Vigenere\n"
    "R: ROT13\n"
    "M: My own personal method\n"
    "Q: quit\n"
    "------------------\n"
    "?: ";

const std::string personalReportTail =
    "\n"
    "Decrypted back: Hi there\n"
    "\n"
    "Information: \n"
    "This is an encryption scheme I can up with that will transform any string\n"
    "of ascii characters into a series of numbers 0-9. The number of possibilities\n"
    "for a given plaintext is 90 + 8n where n is the number of characters in the\n"
    "plaintext. This means that the same plaintext has 90 + 8n possible ciphertexts.\n"
    "Although I can't reveal the secret behind this one, you are free to play around\n"
    "with it and maybe try to figure it out!\n"
    "\n";

// Refuses every byte, as a full disk does.
class FullDisk : public std::streambuf {
 protected:
  int_type overflow(int_type /*c*/) override { return traits_type::eof(); }
};

}  // namespace

TEST(Dialogue, PersonalMethodReportShowsADigitStringThatDecodesToTheText) {
  std::istringstream in("m\nHi there\nq\n");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runMenuLoop(in, out, err), 0);
  EXPECT_EQ(err.str(), "");

  const std::string head = menu + "Enter some text to be encrypted (max 800 chars):\n" + "\n" +
                           "Plaintext:      Hi there\n" + "\n" + "Ciphertext:     ";
  const std::string screen = out.str();
  ASSERT_EQ(screen.substr(0, head.size()), head);
  const std::size_t lineEnd = screen.find('\n', head.size());
  ASSERT_NE(lineEnd, std::string::npos);
  const std::string ctext = screen.substr(head.size(), lineEnd - head.size());
  EXPECT_EQ(ctext.find_first_not_of("0123456789"), std::string::npos) << ctext;
  EXPECT_EQ(decodeWalk(parseDigitString(ctext)), "Hi there") << ctext;
  EXPECT_EQ(screen.substr(lineEnd + 1), personalReportTail + menu);
}

TEST(Dialogue, OutputThatCannotBeWrittenStopsAtTheFirstFlushWithStatusOne) {
  std::istringstream in("r\nHello\nq\n");
  FullDisk disk;
  std::ostream out(&disk);
  std::ostringstream err;
  EXPECT_EQ(runMenuLoop(in, out, err), 1);
  EXPECT_EQ(err.str(), "ciphers: cannot write the output\n");
  EXPECT_EQ(in.tellg(), 0) << "nothing may be read once the output has failed";
}
