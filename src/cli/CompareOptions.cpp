#include "cli/CompareOptions.h"

#include <charconv>
#include <limits>

#include "cli/ClosestWord.h"
#include "cli/ProblemDetail.h"
#include "cli/RequestSettings.h"
#include "core/engine/CaseFold.h"
#include "core/filters/FilterSet.h"
#include "core/filters/GlobExpression.h"
#include "core/settings/SettingsFile.h"

namespace ravelmoor {
namespace {

OptionOutcome ParseMethod(const std::string& value, CompareJob& job) {
    if (value == "size-time") {
        job.SetMethod(ComparisonMethod::SizeAndTimestamp);
    } else if (value == "crc") {
        job.SetMethod(ComparisonMethod::Crc);
    } else if (value == "both") {
        job.SetMethod(ComparisonMethod::Both);
    } else {
        return Refused("Unknown comparison method " + value +
                       DidYouMean(value, {"size-time", "crc", "both"}) +
                       ": a comparison method is size-time, crc or both.");
    }
    return {};
}

OptionOutcome ParseChunk(const std::string& value, uint32_t& chunk) {
    uint64_t number = 0;
    const auto [end, code] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (code != std::errc() || end != value.data() + value.size() || value.empty() ||
        number > std::numeric_limits<uint32_t>::max()) {
        return Refused(WithSubject(
            "The byte count of --chunk must be a whole number from 0 to 4294967295", value));
    }
    chunk = static_cast<uint32_t>(number);
    return {};
}

// An expression given on the command line. One with a capital letter outside
// a set can never match, since paths are compared case-folded: refused,
// rather than silently leaving the rule without effect.
OptionOutcome AddExpressionRule(const char* type, const std::string& expression,
                                CompareRequest& request) {
    const std::string never = CharacterThatNeverMatches(expression);
    if (!never.empty()) {
        const bool include = type == std::string_view(FilterRule::kInclude);
        return Refused("The expression " + expression + " can never match: paths are compared " +
                       "in lower case, so " + never + " matches nothing. Write " +
                       FoldCase(expression) + ", or use " +
                       (include ? "--include-glob" : "--exclude-glob") +
                       " with a glob, whose case does not matter.");
    }
    request.job.filterRules.push_back({type, expression});
    return {};
}

OptionOutcome AddGlobRule(const char* type, const std::string& glob, CompareRequest& request) {
    const std::string expression = GlobToExpression(glob);
    if (!IsValidExpression(expression)) {
        return Refused(
            "The glob " + glob + " gives the expression " + expression +
            ", which is not valid (a range backwards, more than nine **/, or too long).");
    }
    request.job.filterRules.push_back({type, expression});
    return {};
}

// A switch that sets `flag`.
OptionRow Switch(std::vector<std::string> names, std::string help, bool& flag) {
    return {std::move(names), {}, std::move(help), [&flag](const std::string&) {
                flag = true;
                return OptionOutcome();
            }};
}

}  // namespace

std::vector<std::string> ArgumentList::TakeRest() {
    std::vector<std::string> rest(words_.begin() + static_cast<std::ptrdiff_t>(next_),
                                  words_.end());
    next_ = words_.size();
    return rest;
}

OptionOutcome ArgumentList::TakeValue(const std::string& option, std::string& value) {
    const std::string word = Take();
    const size_t equals = word.find('=');
    if (equals != std::string::npos && word.compare(0, 2, "--") == 0) {
        value = word.substr(equals + 1);
        return {};
    }
    if (AtEnd()) return Refused("The option " + option + " needs a value.");
    value = Take();
    return {};
}

std::vector<OptionRow> CompareOptionRows(CompareRequest& request, bool methodIsComparison) {
    CompareRequest* r = &request;
    std::vector<std::string> byNames = {"--by"};
    if (methodIsComparison) byNames.emplace_back("--method");
    return {
        Switch({"-r", "--recursive", "--subfolders"}, "compare sub-folders too",
               r->job.includeSubFolders),
        {byNames, "size-time|crc|both",
         "how files are compared: size and time (the default),\nCRC-32 checksum, or both",
         [r](const std::string& value) { return ParseMethod(value, r->job); }},
        Switch({"--ignore-2s"}, "ignore time differences up to 2 seconds", r->job.ignoreTwoSeconds),
        Switch({"--ignore-60s"}, "ignore time differences up to 60 seconds",
               r->job.ignoreSixtySeconds),
        Switch({"--ignore-dst"}, "ignore a time difference of exactly one hour",
               r->job.ignoreOneHour),
        {{"--chunk"},
         "N",
         "checksum only about the first N bytes (0 = whole file)",
         [r](const std::string& value) { return ParseChunk(value, r->job.crcChunk); }},
        {{"--include"},
         "RE",
         "take part only if some include rule matches (an\nexpression: see FILTERS in man "
         "ravelmoor)",
         [r](const std::string& value) {
             return AddExpressionRule(FilterRule::kInclude, value, *r);
         }},
        {{"--exclude"},
         "RE",
         "leave out what the expression matches, and a\nfolder's content with it (repeatable; the "
         "order\nof the rules does not matter)",
         [r](const std::string& value) {
             return AddExpressionRule(FilterRule::kExclude, value, *r);
         }},
        {{"--include-glob"},
         "GLOB",
         "as --include, with a shell glob: * and ? within a\nname, ** across folders, [abc]; "
         "case does not\nmatter; without a '/' it matches a name anywhere",
         [r](const std::string& value) { return AddGlobRule(FilterRule::kInclude, value, *r); }},
        {{"--exclude-glob"},
         "GLOB",
         "as --exclude, with a shell glob (*.tmp, build,\ndocs/**/*.bak)",
         [r](const std::string& value) { return AddGlobRule(FilterRule::kExclude, value, *r); }},
        {{"--settings"},
         "FILE.zvs",
         "take folders, sub-folders, method, tolerances, chunk\nand filters from a settings file; "
         "options after it\nchange them, SOURCE and TARGET replace its folders;\nits relative "
         "folders are relative to its own folder",
         [r](const std::string& value) { return LoadRequestSettings(value, *r); }},
        {{"--save-settings"},
         "FILE.zvs",
         "write these settings to a settings file first;\nrelative folders stay relative "
         "(to the file's folder)",
         [r](const std::string& value) {
             r->saveSettingsPath = value;
             return OptionOutcome();
         }},
        Switch({"--all"}, "also print the rows that match", r->showAll),
        {{"--format"},
         "text|tsv|json",
         "output for people (default), tab-separated, or\none JSON document (see man ravelmoor)",
         [r](const std::string& value) {
             if (value == "text") {
                 r->format = OutputFormat::Text;
             } else if (value == "tsv") {
                 r->format = OutputFormat::Tsv;
             } else if (value == "json") {
                 r->format = OutputFormat::Json;
             } else {
                 return Refused(WithSubject("The output format must be text, tsv or json", value));
             }
             return OptionOutcome();
         }},
        Switch({"-q", "--quiet"}, "print errors only", r->quiet),
        Switch({"--accept-new-host-key"},
               "connect to an SFTP server whose host key is not\nknown yet, and remember its key "
               "(a changed key\nis always refused)",
               r->acceptNewHostKey),
    };
}

OptionOutcome TakeFolders(CompareRequest& request) {
    if (request.positional.empty() && request.loadedSettings) {
        request.job.sourceFolder = request.loadedSettings->sourceFolder;
        request.job.targetFolder = request.loadedSettings->targetFolder;
    } else if (request.positional.size() == 2) {
        request.job.sourceFolder = request.positional[0];
        request.job.targetFolder = request.positional[1];
        request.sourceRelative = IsRelativeFolder(request.job.sourceFolder);
        request.targetRelative = IsRelativeFolder(request.job.targetFolder);
        request.positional.clear();
    } else {
        return Refused(request.positional.size() > 2
                           ? "Name only two folders, SOURCE and TARGET: " + request.positional[2] +
                                 " is one too many."
                           : "Name the two folders to compare: SOURCE and TARGET.");
    }
    if (request.saveSettingsPath.empty()) return {};
    return SaveRequestSettings(request);
}

const char* RemoteSideHelp() {
    return "\nSOURCE or TARGET (not both) may be written \"(ftp) NAME\" or \"(sftp) NAME\":\n"
           "the folder of the stored FTP or SFTP connection NAME (see ravelmoor ftp list,\n"
           "ravelmoor sftp list). Short options may be bundled (-rn); after -- every\n"
           "word is a folder.\n";
}

}  // namespace ravelmoor
