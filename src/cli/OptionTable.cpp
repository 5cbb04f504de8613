#include "cli/OptionTable.h"

#include <algorithm>

#include "cli/ClosestWord.h"

namespace ravelmoor {
namespace {

constexpr size_t kHelpColumn = 26;

const OptionRow* FindRow(const std::vector<OptionRow>& rows, std::string_view name) {
    for (const OptionRow& row : rows) {
        for (const std::string& spelling : row.names) {
            if (spelling == name) return &row;
        }
    }
    return nullptr;
}

std::vector<std::string> AllNames(const std::vector<OptionRow>& rows) {
    std::vector<std::string> names = {"--help"};
    for (const OptionRow& row : rows) {
        for (const std::string& spelling : row.names) {
            if (spelling.size() > 2) names.push_back(spelling);
        }
    }
    return names;
}

bool IsHelp(std::string_view word) {
    return word == "-h" || word == "--help";
}

class Parser {
  public:
    Parser(const std::vector<std::string>& words, const std::vector<OptionRow>& rows,
           const std::string& command, ParsedWords& parsed)
        : words_(words), rows_(rows), command_(command), parsed_(parsed) {}

    OptionOutcome Run() {
        while (next_ < words_.size()) {
            const std::string& word = words_[next_++];
            if (word == "--") {
                while (next_ < words_.size())
                    parsed_.positional.push_back(words_[next_++]);
            } else if (word.size() < 2 || word[0] != '-') {
                parsed_.positional.push_back(word);
            } else if (IsHelp(word)) {
                parsed_.help = true;
            } else {
                OptionOutcome outcome = word[1] == '-' ? Long(word) : Short(word);
                if (!outcome.Ok()) return outcome;
            }
        }
        return {};
    }

  private:
    OptionOutcome Long(const std::string& word) {
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const OptionRow* row = FindRow(rows_, name);
        if (row == nullptr) return Unknown(name);
        if (row->valueName.empty()) {
            if (equals != std::string::npos) {
                return Refused("The option " + name + " takes no value: " + word);
            }
            return row->apply({});
        }
        if (equals != std::string::npos) return row->apply(word.substr(equals + 1));
        return TakeValue(*row, name);
    }

    // A bundle of short options: each a switch, except that one taking a
    // value takes the rest of the word, or the next word.
    OptionOutcome Short(const std::string& word) {
        if (OptionOutcome known = EveryLetterKnown(word); !known.Ok()) return known;
        for (size_t k = 1; k < word.size(); ++k) {
            const std::string name = std::string("-") + word[k];
            if (name == "-h") {
                parsed_.help = true;
                continue;
            }
            const OptionRow* row = FindRow(rows_, name);
            if (row == nullptr) return Unknown(name);
            if (row->valueName.empty()) {
                OptionOutcome outcome = row->apply({});
                if (!outcome.Ok()) return outcome;
                continue;
            }
            if (k + 1 < word.size()) return row->apply(word.substr(k + 1));
            return TakeValue(*row, name);
        }
        return {};
    }

    // Names every letter of a bundle that no option has ("-av": -a), so that
    // one mistake does not hide the next; a word that reads as a long option
    // typed with one dash ("-dry-run") is named whole, with the suggestion.
    OptionOutcome EveryLetterKnown(const std::string& word) const {
        std::vector<std::string> unknown;
        for (size_t k = 1; k < word.size(); ++k) {
            const std::string name = std::string("-") + word[k];
            if (name == "-h") continue;
            const OptionRow* row = FindRow(rows_, name);
            if (row == nullptr) {
                if (std::find(unknown.begin(), unknown.end(), name) == unknown.end()) {
                    unknown.push_back(name);
                }
            } else if (!row->valueName.empty()) {
                break;  // the rest of the word is its value
            }
        }
        if (unknown.empty()) return {};
        if (word.size() == 2 || !DidYouMean("-" + word, AllNames(rows_)).empty()) {
            return Unknown(word);
        }
        std::string names;
        for (size_t k = 0; k < unknown.size(); ++k) {
            if (k > 0) names += k + 1 == unknown.size() ? " and " : ", ";
            names += unknown[k];
        }
        return Refused(std::string(unknown.size() == 1 ? "Unknown option " : "Unknown options ") +
                       names + " in " + word + "; see ravelmoor " + command_ + " --help.");
    }

    OptionOutcome TakeValue(const OptionRow& row, const std::string& name) {
        if (next_ >= words_.size()) return Refused("The option " + name + " needs a value.");
        return row.apply(words_[next_++]);
    }

    OptionOutcome Unknown(const std::string& name) const {
        return Refused("Unknown option " + name + DidYouMean(name, AllNames(rows_)) +
                       "; see ravelmoor " + command_ + " --help.");
    }

    const std::vector<std::string>& words_;
    const std::vector<OptionRow>& rows_;
    const std::string& command_;
    ParsedWords& parsed_;
    size_t next_ = 0;
};

}  // namespace

OptionOutcome ParseOptions(const std::vector<std::string>& words,
                           const std::vector<OptionRow>& rows, const std::string& command,
                           ParsedWords& parsed) {
    return Parser(words, rows, command, parsed).Run();
}

std::string OptionsHelp(const std::vector<OptionRow>& rows) {
    std::string text;
    for (const OptionRow& row : rows) {
        std::string line = "  ";
        for (size_t k = 0; k < row.names.size(); ++k) {
            if (k > 0) line += ", ";
            line += row.names[k];
        }
        if (!row.valueName.empty()) line += " " + row.valueName;
        if (line.size() + 2 > kHelpColumn) {
            text += line + "\n";
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        std::string_view help = row.help;
        for (;;) {
            const size_t end = help.find('\n');
            text += line;
            text += help.substr(0, end);
            text += '\n';
            if (end == std::string_view::npos) break;
            help.remove_prefix(end + 1);
            line.assign(kHelpColumn, ' ');
        }
    }
    return text;
}

}  // namespace ravelmoor
