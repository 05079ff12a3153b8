#pragma once

#include <cstddef>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>

enum class Recall { nothing, texts, keys };  // which earlier answers Up brings back at a prompt

// The standard input of a terminal, read a line at a time through GNU Readline, with its keys and
// the user's ~/.inputrc; Ctrl-D at an empty line ends the input. A std::streambuf, so the console's
// one parser reads edited lines exactly as it reads a pipe, and every byte typed reaches the line
// as through a pipe: Tab is a tab, bytes outside the locale's character set stay as they are, a
// control character goes in after Ctrl-V, and a paste is one line, its line ends made spaces. What
// a line cannot hold (NUL, a line feed) is refused with the bell, never dropped unseen.
class LineEditor : public std::streambuf {
 public:
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;
  ~LineEditor() override;

  // The next line that has to be read shows `prompt` and recalls `recall`'s history; further
  // lines read for the same answer (empty lines skipped at the menu, say) show no prompt. With
  // `longest` > 0 the line takes no more bytes than that: the bell rings for the rest.
  void expect(std::string_view prompt, Recall recall, std::size_t longest = 0);

  // Keeps an answer, as the dialogue took it, for Up at the prompts of `recall`.
  void remember(Recall recall, std::string_view answer);

 protected:
  int_type underflow() override;  // one edited line; end of input -> eof; a read error ->
                                  // throw std::system_error(errno, std::generic_category())

 private:
  struct Session;  // the editor, its prompt and its histories; only the Readline build has one

  explicit LineEditor(std::unique_ptr<Session> session);
  friend std::unique_ptr<LineEditor> openLineEditor();

  std::unique_ptr<Session> session_;
  std::string line_;  // the last line read, with its line end; the get area points into it
};

// An editor when the build has Readline and standard input and output are both terminals;
// nothing otherwise (then the console reads standard input plainly). There is one at a time.
std::unique_ptr<LineEditor> openLineEditor();
