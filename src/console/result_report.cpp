#include "result_report.hpp"

namespace {

// The row's line, then an empty line.
void writeRow(Console& console, std::string_view label, std::string_view row) {
  console.write(label);
  console.writeLine(row);
  console.endLine();
}

}  // namespace

void printResultReport(Console& console, const ResultReport& report) {
  console.endLine();
  writeRow(console, "Plaintext:      ", report.plaintext);
  if (report.key) {
    writeRow(console, "Key:            ", *report.key);
  }
  writeRow(console, "Ciphertext:     ", report.ciphertext);
  writeRow(console, "Decrypted back: ", report.decrypted);
  console.writeLine("Information: ");
  for (const std::string_view line : report.information) {
    console.writeLine(line);
  }
  console.endLine();
}
