#pragma once

#include <cstddef>
#include <string>
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

    // The longest start of `text` (UTF-8) that fills at most `columns`
    // terminal columns, counted as wcwidth counts them (a wide CJK character
    // takes two); never cuts a character in two.
    static std::string_view FitWidth(std::string_view text, size_t columns);
    // `head` followed by `name`, fitted to `columns`: when the two are too
    // wide, the name loses its middle to "…" (its end keeps the larger
    // part), so that the counts before it and the file name at its end stay
    // readable; a head too wide for the name to show at all is cut at the end.
    static std::string FitMiddle(std::string_view head, std::string_view name, size_t columns);
    // Replaces the progress line with `text` and `name`, fitted to the
    // terminal's width by FitMiddle (only when stderr is a terminal).
    static void ShowProgress(std::string_view text, std::string_view name = {});
    static void ClearProgress();
    // Writes one message line, "ravelmoor: " first (the progress line is
    // cleared first). Errors and warnings: always written.
    static void Message(std::string_view text);
    // A message that only tells what happened; left out when quiet.
    static void Info(std::string_view text);
    // -q: from now on only errors and warnings are written, and no progress.
    static void SetQuiet(bool quiet);
    static bool Quiet();
    // Flushes standard output, keeping the system's reason of the first
    // failure; false when standard output has failed at some point.
    static bool FlushOutput();
    // The errno of the first failed flush of standard output; 0 when none.
    static int OutputError();
    // Writes a question without a line end and reads one answer line from the
    // terminal. False when there is no terminal to ask, or its input ended.
    static bool Ask(std::string_view question, std::string& answer);
};

}  // namespace ravelmoor
