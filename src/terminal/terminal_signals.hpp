#pragma once

#include <termios.h>

#include <csignal>

// The signals around a line editor that puts the terminal in modes of its own. A signal that ends
// the program first puts the terminal back as it was (bracketed paste off included) and then ends
// the program alone, as it would have without the editor; a signal that stops it does the same and,
// once the program goes on, gives the terminal back to the editor. Signals the program was started
// with ignored stay ignored. The window-size signal is held back except while the editor waits for
// a key, so that the wait notices it.
namespace terminal_signals {

// Installs the handlers; until uninstall() restores the earlier ones and the signal mask.
void install();
void uninstall();

// The editor takes the terminal (`original` are the modes it found; `bracketedPaste`: it switches
// the terminal's bracketed-paste mode on; `terminal`: the descriptor whose modes it sets), has
// taken it (`editing` are its own modes), or gave it back.
void enteringEditing(const termios& original, bool bracketedPaste, int terminal = 0);
void enteredEditing(const termios& editing);
void leftEditing();

// Holds the ending and stopping signals back while it lives, so that none comes between the
// editor's change of the terminal's modes and its note of them.
class HeldBack {
 public:
  HeldBack();
  ~HeldBack();
  HeldBack(const HeldBack&) = delete;
  HeldBack& operator=(const HeldBack&) = delete;

 private:
  sigset_t earlier_;
};

// Puts the terminal back as the editor found it, if the editor has it: for an end of the program
// that no signal brings, such as memory running out. Allocates nothing.
void putTerminalBack();

// The signal mask to wait for a key with: the window-size signal let through.
const sigset_t& waitingMask();

// Lets a held-back window-size signal in, so that it is noticed while bytes are still waiting to
// be read (a wait for a key, which lets it in too, is not needed for them then).
void letResizeIn();

// Whether the window changed size, or the program went on after a stop while editing (the line
// must then be drawn afresh), since the last call.
bool takeResize();
bool takeResumed();

}  // namespace terminal_signals
