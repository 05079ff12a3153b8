#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>
#include <system_error>
#include <vector>

#include "digit_string.hpp"
#include "menu_loop.hpp"
#include "personal_method.hpp"

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

// Gives its text, then fails as the next read of standard input would: with a read error, or
// with an allocation that fails.
template <class Failure>
class FailingInput : public std::stringbuf {
 public:
  FailingInput(const std::string& text, Failure failure)
      : std::stringbuf(text), failure_(failure) {}

 protected:
  int_type underflow() override {
    const int_type next = std::stringbuf::underflow();
    if (traits_type::eq_int_type(next, traits_type::eof())) {
      throw failure_;
    }
    return next;
  }

 private:
  Failure failure_;
};

struct Session {
  int status;
  std::string out;
  std::string err;
};

Session runOn(std::streambuf& input, const DialogueOptions& options = {}) {
  std::istream in(&input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = runMenuLoop(in, out, err, options);
  return {status, out.str(), err.str()};
}

// The ciphertext rows of the reports in a screen, in order.
std::vector<std::string> ciphertextRows(const std::string& screen) {
  const std::string label = "Ciphertext:     ";
  std::vector<std::string> rows;
  for (std::size_t at = screen.find(label); at != std::string::npos; at = screen.find(label, at)) {
    at += label.size();
    rows.push_back(screen.substr(at, screen.find('\n', at) - at));
  }
  return rows;
}

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
  EXPECT_EQ(decipherPersonal(ctext), "Hi there") << ctext;
  EXPECT_EQ(screen.substr(lineEnd + 1), personalReportTail + menu);
}

TEST(Dialogue, PersonalMethodDecodesNulBytesBack) {
  std::stringbuf input(std::string("m\nab\0cd\nq\n", 11));
  const Session session = runOn(input);
  EXPECT_EQ(session.status, 0);
  EXPECT_EQ(decipherPersonal(ciphertextRows(session.out).at(0)), std::string("ab\0cd", 5));
  EXPECT_NE(session.out.find(std::string("Decrypted back: ab\0cd\n", 22)), std::string::npos);
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

TEST(Dialogue, AReadErrorIsNoEndOfInputAtAnyPrompt) {
  const std::system_error ioError(EIO, std::generic_category());
  for (const std::string typed : {"", "r\n", "v\nattack\n"}) {
    FailingInput input(typed, ioError);
    const Session session = runOn(input);
    EXPECT_EQ(session.status, 1) << typed;
    EXPECT_EQ(session.err, "ciphers: cannot read the input: " + ioError.code().message() + "\n");
    EXPECT_TRUE(session.out.ends_with(": \n") || session.out.ends_with("chars):\n\n")) << typed;
  }
}

TEST(Dialogue, RunningOutOfMemoryIsNoEndOfInput) {
  FailingInput input("v\nattack\n", std::bad_alloc());
  const Session session = runOn(input);
  EXPECT_EQ(session.status, 1);
  EXPECT_EQ(session.err, "ciphers: out of memory\n");
}

TEST(Dialogue, ThePersonalMethodIsSeededFromTheClockInWholeSeconds) {
  // Four runs of one text in one dialogue, at these seconds in turn.
  static constexpr std::array<std::time_t, 4> seconds{1'765'180'800, 1'765'180'800, 1'765'180'801,
                                                      1'765'180'800};
  static std::size_t run = 0;
  const DialogueOptions options{nullptr, [] { return seconds.at(run++); }};
  std::string script;
  for (std::size_t i = 0; i < seconds.size(); ++i) {
    script += "m\nattack at dawn\n";
  }
  std::stringbuf input(script + "q\n");
  const std::vector<std::string> rows = ciphertextRows(runOn(input, options).out);
  ASSERT_EQ(rows.size(), seconds.size());
  EXPECT_EQ(rows[1], rows[0]);  // one second draws alike, from the start of its sequence
  EXPECT_NE(rows[2], rows[0]);  // another second draws otherwise
  EXPECT_EQ(rows[3], rows[0]);  // and the first one again alike
}
