#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "console/line_editor.hpp"

inline constexpr std::size_t maxTextLength = 800;
inline constexpr std::size_t maxDiscardedLength = 500;

// Ends the dialogue before the user chose Q: the input ended in the middle of a request, or the
// output can no longer be written. runMenuLoop turns it into the exit status.
struct DialogueStopped {
  int status;
  std::string message;  // one line for standard error; empty where the stop is quiet
};

// Every read and every write of the dialogue. Each line end is followed by a flush, and the
// output is flushed before every read, so that a prompt is on the screen while the program
// waits. A flush that fails stops the dialogue.
class Console {
 public:
  Console(std::istream& in, std::ostream& out, LineEditor* editor = nullptr)
      : in_(in), out_(out), editor_(editor) {}

  // Handed to the stream in pieces below 1 KiB: the stream copies each into its buffer, whereas
  // a longer piece would leave at once in a system call of its own, ahead of its line's flush.
  void write(std::string_view text) {
    for (std::size_t p = 0; p < text.size(); p += maxWrittenPiece) {
      out_ << text.substr(p, maxWrittenPiece);
    }
  }
  // A prompt for the next read: written here, or drawn by the line editor when there is one.
  void prompt(std::string_view text, Recall recall) {
    if (editor_ != nullptr) {
      editor_->expect(text, recall);
    } else {
      write(text);
    }
  }
  void endLine();
  void writeLine(std::string_view text);

  // The first non-blank character typed; the rest of its line is discarded. Nothing at the end
  // of the input.
  std::optional<char> readChoice();

  // One line of at most 800 characters, without its line end; the rest of a longer line is
  // discarded. The text ends at a NUL byte, should one be typed. Nothing when the input ended
  // before a character could be read; an empty line is the empty text.
  std::optional<std::string> readLine();

  // One whitespace-delimited word; the rest of its line is discarded. Nothing at the end of the
  // input.
  std::optional<std::string> readWord();

  // Ends the line the user was typing on and stops the dialogue with status 1.
  [[noreturn]] void stopAtEndOfInput(std::string_view awaited);

 private:
  void flush();
  // Drops through the next line feed, but never more than 500 characters; the rest stays.
  void discardRestOfLine() { in_.ignore(maxDiscardedLength, '\n'); }

  static constexpr std::size_t maxWrittenPiece = 512;

  std::istream& in_;
  std::ostream& out_;
  LineEditor* editor_;
};
