#pragma once

#include <string_view>

namespace ravelmoor {

// Everything the command line writes to stderr goes through here, so that a
// message from the worker thread never lands in the middle of the live
// progress line.
class Terminal {
  public:
    static bool StderrIsTerminal();
    static bool StdinIsTerminal();
    static int Width();

    // Replaces the progress line (only when stderr is a terminal).
    static void ShowProgress(std::string_view text);
    static void ClearProgress();
    // Writes one message line (the progress line is cleared first).
    static void Message(std::string_view text);
    // Writes a question without a line end and reads one answer line from the
    // terminal. False when there is no terminal to ask.
    static bool Ask(std::string_view question, std::string& answer);
};

}  // namespace ravelmoor
