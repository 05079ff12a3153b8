#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "line_editor.hpp"

inline constexpr std::size_t maxTextLength = 800;
inline constexpr std::size_t maxDiscardedLength = 500;

// Ends the dialogue, with status 1, before the user chose Q: the input ended in the middle of a
// request or could not be read, or the output can no longer be written.
struct DialogueStopped {
  std::string message;  // one line for standard error; empty where the stop is quiet
};

// Writes the stop's message, if any, to err and gives the exit status, 1.
int reportStop(std::ostream& err, const DialogueStopped& stop);

// Every read and every write of the dialogue. Each line end is followed by a flush, and the
// output is flushed before every read, so that a prompt is on the screen while the program
// waits. A flush that fails, or a read that fails other than at the end of the input, stops the
// dialogue; running out of memory while reading throws std::bad_alloc, never an end of input.
class Console {
 public:
  // With an editor, `in` reads through it, and prompts are handed to it rather than written.
  Console(std::istream& in, std::ostream& out, LineEditor* editor = nullptr);

  void write(std::string_view text);
  void endLine();
  void writeLine(std::string_view text);
  void flush();

  // After the prompt: the first non-blank character typed; the rest of its line is discarded,
  // up to 500 characters. Nothing at the end of the input.
  std::optional<char> readChoice(std::string_view prompt);

  // The next line, without its line end, NUL bytes and all. Of a line longer than 800 bytes the
  // text is its first 800, cut before a UTF-8 character that would not fit whole, and the rest
  // of the line is discarded. Nothing when the input ended before a character could be read.
  std::optional<std::string> readText();

  // After the prompt: one whitespace-delimited word; the rest of its line is discarded, up to
  // 500 characters. Of the word only its first `kept` characters are kept as typed, and of the
  // rest one of each byte value not kept yet: so a word of any length takes bounded memory, and
  // a check of which characters it holds still sees every one. Nothing at the end of the input.
  std::optional<std::string> readWord(std::string_view prompt, std::size_t kept);

  // Ends the line the user was typing on and stops the dialogue.
  [[noreturn]] void stopAtEndOfInput(std::string_view awaited);

 private:
  void ask(std::string_view prompt, Recall recall, std::size_t longest = 0);
  void remember(Recall recall, const std::optional<std::string>& answer);
  template <class Read>
  auto readAnswer(std::string_view prompt, Recall recall, Read read);
  template <class Read>
  auto guarded(Read read);
  // Drops through the next line feed, but never more than 500 characters; the rest stays.
  void discardRestOfLine() { in_.ignore(maxDiscardedLength, '\n'); }

  std::istream& in_;
  std::ostream& out_;
  LineEditor* editor_;
};
