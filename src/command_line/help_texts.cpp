#include "help_texts.hpp"

#include <sstream>
#include <string>

#include "solve_filter.hpp"
#include "vigenere_crack.hpp"

std::string_view programHelp() {
  return "Usage: ciphers [--help | --version]\n"
         "       ciphers rot13 [-d] [FILE...]\n"
         "       ciphers vigenere [-k KEY | --key-file KEYFILE] [-d] [FILE...]\n"
         "       ciphers vigenere --crack [-d | --explain | --json] [FILE...]\n"
         "       ciphers personal [-d] [--seed N] [FILE...]\n"
         "       ciphers solve [--json] [FILE...]\n"
         "Try the Vigenere cipher, ROT13 and a personal method on a line of text, or run\n"
         "one of them over files and pipes, both ways.\n"
         "\n"
         "With no arguments, ciphers shows a menu on standard output and reads the\n"
         "choice, the text and the Vigenere key from standard input, until Q is chosen\n"
         "or the input ends.\n"
         "\n"
         "With a method, ciphers encrypts, or with -d decrypts, each FILE in turn (or\n"
         "standard input, when there is no FILE or FILE is -) to standard output:\n"
         "  rot13      moves each ASCII letter 13 places on, keeping its case\n"
         "  vigenere   enciphers the letters under KEY, which runs on across lines and\n"
         "             files\n"
         "  personal   turns each line into a line of digits by a random walk\n"
         "'ciphers vigenere --crack' finds the key of a Vigenere ciphertext itself, and\n"
         "'ciphers solve' which method made a text, and deciphers it.\n"
         "'ciphers METHOD --help' tells more.\n"
         "\n"
         "  --help     show this help and exit\n"
         "  --version  show the version and exit\n"
         "\n"
         "Exit status: 0 when all went well, after Q in the dialogue or when its input\n"
         "ends at the menu; 1 when the dialogue's input ends in the middle of a request,\n"
         "when the input cannot be read, a FILE cannot be opened or read, a line is no\n"
         "digit string of the personal method, the input to --crack holds no letter,\n"
         "no method fits the input to solve, the output cannot be written, or memory\n"
         "runs out; 2 for an unknown method or option, or a bad key or seed.\n"
         "\n"
         "See ciphers(1) for the whole dialogue and every method.\n";
}

std::string_view versionText() {
  return "ciphers " CIPHERS_VERSION "\n";
}

std::string_view rot13Help() {
  return "Usage: ciphers rot13 [-d] [FILE...]\n"
         "Moves each of the 52 ASCII letters 13 places on within its alphabet, keeping\n"
         "its case; every other byte stays as it is. Reads each FILE in turn (standard\n"
         "input when there is no FILE or FILE is -) and writes to standard output.\n"
         "\n"
         "  -d, --decrypt  decrypt, which is the same rotation\n"
         "      --help     show this help and exit\n"
         "\n"
         "See ciphers(1).\n";
}

// The breaker's limits are taken from the breaker, so that the help cannot tell other ones.
std::string_view vigenereHelp() {
  static const std::string text =
      "Usage: ciphers vigenere [-k KEY | --key-file KEYFILE] [-d] [FILE...]\n"
      "       ciphers vigenere --crack [-d | --explain | --json] [FILE...]\n"
      "Enciphers the ASCII letters, upper-cased, with the Vigenere cipher under KEY;\n"
      "every other byte stays as it is and uses up no key letter. The key runs on\n"
      "across lines and files: the whole input is one message. Reads each FILE in\n"
      "turn (standard input when there is no FILE or FILE is -) and writes to\n"
      "standard output. With neither -k nor --key-file, the key is asked for at the\n"
      "terminal and not shown: twice to encipher, once to decipher.\n"
      "\n"
      "  -k, --key KEY  the key: one or more of the letters A-Z and a-z; other users of\n"
      "                 the machine can see it, so prefer --key-file or the prompt\n"
      "      --key-file KEYFILE\n"
      "                 the key from the first and only line of KEYFILE (- is\n"
      "                 standard input, when every text comes from a FILE)\n"
      "  -d, --decrypt  decipher\n"
      "      --crack    find the key from the ciphertext alone and print it, a line of\n"
      "                 capitals; with -d, print the text deciphered under it instead\n"
      "                 and the key on standard error. Keys of up to " +
      std::to_string(maximumKeyLength) +
      " letters are\n"
      "                 found; a text of fewer than " +
      std::to_string(minimumLettersPerKeyLetter) + " letters a key letter, or " +
      std::to_string(minimumLetters) +
      "\n"
      "                 in all, is too short to be sure of the key, and standard\n"
      "                 error says so.\n"
      "      --explain  with --crack, print how the key was found instead: each\n"
      "                 period's index of coincidence and fit, the repeated sequences,\n"
      "                 each key letter's column against English, and the key\n"
      "      --json     with --crack, print the same as one JSON object\n"
      "      --help     show this help and exit\n"
      "\n"
      "See ciphers(1).\n";
  return text;
}

std::string_view personalHelp() {
  return "Usage: ciphers personal [-d] [--seed N] [FILE...]\n"
         "Turns each line of the input into a line of digits, the ciphertext that the\n"
         "dialogue's personal method shows for it. The output ends with a line end\n"
         "exactly when the input does. With -d, reads such lines (ended by LF or CR LF)\n"
         "and writes their texts back; a line that is no such digit string stops it,\n"
         "after the texts of the lines before it and of its own groups before the fault.\n"
         "Reads each FILE in turn (standard input when there is no FILE or FILE is -)\n"
         "and writes to standard output.\n"
         "\n"
         "  -d, --decrypt  decrypt lines of digits\n"
         "      --seed N   draw from a generator seeded with N, 0 to 4294967295, rather\n"
         "                 than with the clock: the same N gives the same output\n"
         "      --help     show this help and exit\n"
         "\n"
         "See ciphers(1).\n";
}

// The head and the key's cost are taken from the code that uses them, so that the help cannot
// tell other ones.
std::string_view solveHelp() {
  static const std::string text = [] {
    std::ostringstream penalty;
    penalty << periodPenalty;
    return "Usage: ciphers solve [--json] [FILE...]\n"
           "Finds which of the methods made a text, and deciphers it. Reads each FILE in\n"
           "turn (standard input when there is no FILE or FILE is -) as one message and\n"
           "writes the text deciphered to standard output, and the method on standard\n"
           "error as one line: 'solve: vigenere, key LEMON', 'solve: rot13',\n"
           "'solve: personal' or 'solve: none'.\n"
           "\n"
           "Lines of digits are the personal method's, decoded as personal -d decodes\n"
           "them. Letters are deciphered by ROT13, by the Vigenere key that the breaker\n"
           "of 'ciphers vigenere' finds where it is sure of it, and by none; of those\n"
           "that read as English the one that fits best is taken, each key letter\n"
           "costing " +
           penalty.str() +
           " nats of fit, as it costs the breaker. A Caesar shift is a key\n"
           "of one letter.\n"
           "\n"
           "The method is decided on the head of the input: its first " +
           std::to_string(solveHeadLetters) +
           " letters or\n"
           "its first " +
           std::to_string(solveHeadBytes / 1024) +
           " KiB, whichever ends first. Only the head is held; the rest is\n"
           "deciphered as it comes.\n"
           "\n"
           "  --json   print {\"method\": ..., \"key\": ..., \"fit\": ...} as one line\n"
           "           instead: the key null but for vigenere, and the fit of the head's\n"
           "           letters deciphered, in nats, less the key's cost\n"
           "  --help   show this help and exit\n"
           "\n"
           "A text that no method fits, without letters or digits or with letters that\n"
           "read as English under none, ends with status 1 and\n"
           "'solve: no method of ciphers fits this text'.\n"
           "\n"
           "See ciphers(1).\n";
  }();
  return text;
}
