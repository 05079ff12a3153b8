#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

// The bytes typed at a terminal, as a line editor takes them one at a time. Every escape sequence
// a key sends (arrows, Home/End, function keys, each with modifiers) reaches the editor whole and
// bound to something, or not at all: one the editor has no binding for is replaced by the
// sequence of the same key without its modifiers (Ctrl, Alt or Meta with Left and Right keep
// moving by word), or dropped whole when that has no binding either. So no key inserts the rest
// of its sequence into the line. A read interrupted by a signal goes on; a descriptor that is
// non-blocking is waited for, and its flags are left as they are.
class TerminalKeys {
 public:
  struct Hooks {
    bool (*bound)(std::string_view sequence);  // whether the editor binds this key sequence
    void (*interrupted)();  // called before every wait: the editor handles resizes and resumes
  };

  // `sequenceMilliseconds`: how long the bytes of one sequence may lie apart; < 0: for ever.
  TerminalKeys(int descriptor, Hooks hooks, int sequenceMilliseconds);

  // The next byte, or -1 at the end of the input and after a read error (then error() != 0).
  int next();
  // Whether a byte can be had within that many milliseconds.
  bool ready(int milliseconds);
  // The byte next() would give, if one comes within that many milliseconds; -1 otherwise.
  // Escape sequences are not looked into: for the bytes that go on a character.
  int peek(int milliseconds);
  // While on, bytes are handed on as they come, escape sequences included: for a paste, and for
  // the character typed after Ctrl-V.
  void takeLiterally(bool on) { literally_ = on; }
  int error() const { return error_; }
  // How many times it waited for the terminal so far: bytes read between two waits came at once.
  std::size_t waits() const { return waits_; }

 private:
  static constexpr int nothingInTime = -2;
  enum class Sequence { key, other, overlong };  // what followed an escape

  int readByte(int milliseconds);
  bool waitForInput(int milliseconds);
  void fill();
  int afterEscape();
  Sequence readSequence(std::string& sequence);
  int handOn(std::string_view sequence);

  int descriptor_;
  Hooks hooks_;
  int sequenceMilliseconds_;
  bool literally_ = false;
  bool ended_ = false;
  int error_ = 0;
  std::size_t waits_ = 0;
  std::deque<unsigned char> queued_;  // the rest of a sequence that is handed on
  std::array<char, 4096> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

// The sequence of the same key without its modifiers, for Left and Right with Ctrl, Alt or Meta
// the sequence of Ctrl-Left and Ctrl-Right; empty for a sequence of no such key.
std::string plainKeySequence(std::string_view sequence);
