#pragma once

#include <memory>
#include <streambuf>
#include <string>
#include <string_view>

enum class Recall { nothing, texts, keys };  // which earlier answers Up brings back at a prompt

// The standard input of a terminal, read a line at a time through libedit: arrows, Home/End,
// Backspace/Delete, Ctrl-A/E/U; Ctrl-D at an empty line ends the input. A std::streambuf, so the
// console's one parser reads edited lines exactly as it reads a pipe.
class LineEditor : public std::streambuf {
 public:
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;
  ~LineEditor() override;

  // The next line that has to be read shows `prompt` and recalls `recall`'s history; further
  // lines read for the same answer (empty lines skipped at the menu, say) show no prompt.
  void expect(std::string_view prompt, Recall recall);

 protected:
  int_type underflow() override;  // one el_gets; end of input -> eof; a read error -> throw
                                  // std::system_error(errno, std::generic_category())

 private:
  struct Session;  // the editor, its prompt and its histories; only the libedit build has one

  explicit LineEditor(std::unique_ptr<Session> session);
  friend std::unique_ptr<LineEditor> openLineEditor();

  std::unique_ptr<Session> session_;
  std::string line_;  // the last line read, with its line end; the get area points into it
};

// An editor when the build has libedit and standard input and output are both terminals;
// nothing otherwise (then the console reads standard input plainly).
std::unique_ptr<LineEditor> openLineEditor();
