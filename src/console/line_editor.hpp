#pragma once

#include <memory>
#include <streambuf>
#include <string_view>

// Which earlier answers Up brings back at a prompt.
enum class Recall { nothing, texts, keys };

// The standard input of a terminal, read a line at a time through a line editor. A
// std::streambuf, so that the console's one parser reads edited lines exactly as it reads a pipe.
class LineEditor : public std::streambuf {
 public:
  // The next line to be read shows the prompt and recalls those answers; further lines read for
  // the same answer (empty lines skipped at the menu, say) show no prompt.
  virtual void expect(std::string_view prompt, Recall recall) = 0;
};

// An editor when the build has one and standard input and output are both terminals; nothing
// otherwise, and the console then reads standard input plainly.
std::unique_ptr<LineEditor> openLineEditor();
