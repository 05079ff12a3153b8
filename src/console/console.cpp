#include "console.hpp"

#include <array>
#include <bitset>
#include <cerrno>
#include <limits>
#include <locale>
#include <system_error>

#include "descriptor_io.hpp"

namespace {

using Traits = std::istream::traits_type;

bool isContinuationByte(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// How many continuation bytes a UTF-8 lead byte announces; 0 for any other byte.
std::size_t announcedContinuations(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) {
    return 1;
  }
  if (byte >= 0xE0 && byte <= 0xEF) {
    return 2;
  }
  return byte >= 0xF0 && byte <= 0xF4 ? 3 : 0;
}

// The length of the text cut from a longer line, given the line's next byte: short of a
// character that the cut would split, if the text ends in its lead and first continuations.
std::size_t wholeCharacterLength(std::string_view text, char next) {
  if (!isContinuationByte(static_cast<unsigned char>(next))) {
    return text.size();
  }
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if (!isContinuationByte(byte)) {
      return announcedContinuations(byte) >= back ? text.size() - back : text.size();
    }
  }
  return text.size();
}

std::optional<std::string> readLineFrom(std::istream& in) {
  std::array<char, maxTextLength + 1> buffer{};  // getline stores a NUL behind the text
  in.getline(buffer.data(), buffer.size());
  const auto count = static_cast<std::size_t>(in.gcount());
  if (count == 0 && in.fail()) {
    return std::nullopt;
  }
  if (!in.fail()) {
    // The whole line; its line end was extracted, and counted, unless the input ended first.
    return std::string(buffer.data(), in.eof() ? count : count - 1);
  }
  in.clear();  // a longer line filled the buffer
  const std::string_view text(buffer.data(), count);
  const Traits::int_type next = in.peek();
  const std::size_t length = Traits::eq_int_type(next, Traits::eof())
                                 ? count
                                 : wholeCharacterLength(text, Traits::to_char_type(next));
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  return std::string(text.substr(0, length));
}

std::optional<std::string> readWordFrom(std::istream& in, std::size_t kept) {
  const std::istream::sentry sentry(in);  // skips the whitespace before the word
  if (!sentry) {
    return std::nullopt;
  }
  const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
  std::streambuf& source = *in.rdbuf();
  std::string word;
  std::bitset<256> held;
  for (Traits::int_type c = source.sgetc();; c = source.snextc()) {
    if (Traits::eq_int_type(c, Traits::eof())) {
      in.setstate(std::ios::eofbit);
      break;
    }
    const char character = Traits::to_char_type(c);
    if (ctype.is(std::ctype_base::space, character)) {
      break;
    }
    const auto byte = static_cast<unsigned char>(character);
    if (word.size() < kept || !held[byte]) {
      word.push_back(character);
      held.set(byte);
    }
  }
  return word;
}

}  // namespace

int reportStop(std::ostream& err, const DialogueStopped& stop) {
  if (!stop.message.empty()) {
    err << stop.message << std::endl;
  }
  return 1;
}

Console::Console(std::istream& in, std::ostream& out, LineEditor* editor)
    : in_(in), out_(out), editor_(editor) {
  // A buffer whose read fails throws; the stream passes that on instead of reporting an end.
  in_.exceptions(std::ios::badbit);
}

// Straight into the stream's buffer, and flushed straight from it: the stream's sentries would
// only check the state that the flush checks anyway.
void Console::write(std::string_view text) {
  const auto size = static_cast<std::streamsize>(text.size());
  if (out_.rdbuf()->sputn(text.data(), size) != size) {
    out_.setstate(std::ios::badbit);
  }
}

void Console::endLine() {
  write("\n");
  flush();
}

void Console::writeLine(std::string_view text) {
  write(text);
  endLine();
}

void Console::flush() {
  errno = 0;
  if (out_ && out_.rdbuf()->pubsync() == 0) {
    return;
  }
  const int error = errno;
  out_.setstate(std::ios::badbit);
  throw DialogueStopped{outputFailure(error)};
}

void Console::ask(std::string_view prompt, Recall recall, std::size_t longest) {
  // An editor shows the prompt itself, unless the answer is already waiting in what was typed.
  if (editor_ != nullptr && in_.rdbuf()->in_avail() <= 0) {
    flush();
    editor_->expect(prompt, recall, longest);
    return;
  }
  write(prompt);
  flush();
}

// Up at the prompt brings back the answer as the dialogue took it, so no more than that is kept.
void Console::remember(Recall recall, const std::optional<std::string>& answer) {
  if (editor_ != nullptr && answer) {
    editor_->remember(recall, *answer);
  }
}

template <class Read>
auto Console::guarded(Read read) {
  try {
    return read();
  } catch (const std::system_error& error) {
    endLine();
    throw DialogueStopped{"ciphers: cannot read the input: " + error.code().message()};
  }
}

// The choice and the word are read alike: prompt and flush, read, discard the rest of the line.
template <class Read>
auto Console::readAnswer(std::string_view prompt, Recall recall, Read read) {
  ask(prompt, recall);
  return guarded([&] {
    auto answer = read();
    if (answer) {
      discardRestOfLine();
    }
    return answer;
  });
}

std::optional<char> Console::readChoice(std::string_view prompt) {
  return readAnswer(prompt, Recall::nothing, [this]() -> std::optional<char> {
    char method = 0;
    if (in_ >> method) {
      return method;
    }
    return std::nullopt;
  });
}

std::optional<std::string> Console::readText() {
  ask("", Recall::texts, maxTextLength);
  std::optional<std::string> text = guarded([this] { return readLineFrom(in_); });
  remember(Recall::texts, text);
  return text;
}

std::optional<std::string> Console::readWord(std::string_view prompt, std::size_t kept) {
  std::optional<std::string> word =
      readAnswer(prompt, Recall::keys, [this, kept] { return readWordFrom(in_, kept); });
  remember(Recall::keys, word);
  return word;
}

void Console::stopAtEndOfInput(std::string_view awaited) {
  endLine();
  throw DialogueStopped{"ciphers: the input ended before " + std::string(awaited) + " was typed"};
}
