#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Outcome.h"

namespace ravelmoor {

// Whether the command line took a word; a refusal's reason is the message
// that ends the command.
enum class OptionStatus { Taken, Refused };
using OptionOutcome = Outcome<OptionStatus>;

inline OptionOutcome Refused(std::string why) {
    return OptionOutcome(OptionStatus::Refused, std::move(why));
}

// One option of a command: its spellings, whether it takes a value, the line
// its --help shows and what it does. Adding an option is adding one row.
struct OptionRow {
    // Every spelling, the preferred first: {"-r", "--recursive", "--subfolders"}.
    std::vector<std::string> names;
    // The value's name in the help ("METHOD"); empty for a switch.
    std::string valueName;
    // The help text; a '\n' starts a continuation line.
    std::string help;
    // Takes the value (empty for a switch), or refuses it.
    std::function<OptionOutcome(const std::string& value)> apply;
};

// What the words of a command line came to.
struct ParsedWords {
    std::vector<std::string> positional;  // in order; everything after "--" included
    bool help = false;                    // -h or --help was given
};

// Parses `words` against `rows`, GNU style: `--name value` and `--name=value`;
// short switches bundled (`-rn` is `-r -n`), a short option's value joined
// (`-xVALUE`) or next; "--" ends the options; a lone "-" is a positional
// word. `-h`/`--help` are always known. An unknown option is refused with a
// suggestion of the closest spelling; `command` names the help to see
// ("compare" gives "see ravelmoor compare --help"). Refused at the first
// refused word.
OptionOutcome ParseOptions(const std::vector<std::string>& words,
                           const std::vector<OptionRow>& rows, const std::string& command,
                           ParsedWords& parsed);

// The help lines of `rows`: names and value in a column of 26, the text after.
std::string OptionsHelp(const std::vector<OptionRow>& rows);

}  // namespace ravelmoor
