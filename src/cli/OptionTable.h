#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

// One option of a command: its spellings, whether it takes a value, the line
// its --help shows and what it does. Adding an option is adding one row.
struct OptionRow {
    // Every spelling, the preferred first: {"-r", "--recursive", "--subfolders"}.
    std::vector<std::string> names;
    // The value's name in the help ("METHOD"); empty for a switch.
    std::string valueName;
    // The help text; a '\n' starts a continuation line.
    std::string help;
    // Takes the value (empty for a switch); false with `error` set refuses it.
    std::function<bool(const std::string& value, std::string& error)> apply;
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
// ("compare" gives "see ravelmoor compare --help"). False with `error` set on
// the first refused word.
bool ParseOptions(const std::vector<std::string>& words, const std::vector<OptionRow>& rows,
                  const std::string& command, ParsedWords& parsed, std::string& error);

// The help lines of `rows`: names and value in a column of 26, the text after.
std::string OptionsHelp(const std::vector<OptionRow>& rows);

}  // namespace ravelmoor
