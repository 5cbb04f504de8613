#include "cli/CompareOptions.h"

#include <charconv>
#include <limits>

#include "cli/RequestSettings.h"

namespace ravelmoor {
namespace {

// `--name` or `--name=value`.
bool IsOption(const std::string& word, std::string_view name) {
    return word == name || (word.size() > name.size() && word.compare(0, name.size(), name) == 0 &&
                            word[name.size()] == '=');
}

bool ParseMethod(const std::string& value, ComparisonMethod& method) {
    if (value == "size-time") {
        method = ComparisonMethod::SizeAndTimestamp;
    } else if (value == "crc") {
        method = ComparisonMethod::Crc;
    } else if (value == "both") {
        method = ComparisonMethod::Both;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ArgumentList::TakeValue(const std::string& option, std::string& value, std::string& error) {
    const std::string word = Take();
    const size_t equals = word.find('=');
    if (equals != std::string::npos && word.compare(0, 2, "--") == 0) {
        value = word.substr(equals + 1);
        return true;
    }
    if (AtEnd()) {
        error = "The option " + option + " needs a value.";
        return false;
    }
    value = Take();
    return true;
}

ParseOutcome ParseCompareOption(ArgumentList& args, CompareRequest& request, std::string& error) {
    const std::string& word = args.Peek();
    std::string value;
    if (word == "-r" || word == "--subfolders") {
        args.Take();
        request.includeSubFolders = true;
    } else if (IsOption(word, "--method")) {
        ArgumentList probe = args;
        if (!probe.TakeValue("--method", value, error)) return ParseOutcome::Error;
        if (!ParseMethod(value, request.method)) return ParseOutcome::NotMine;
        args = probe;
    } else if (word == "--ignore-2s") {
        args.Take();
        request.settings.ignoreTwoSeconds = true;
    } else if (word == "--ignore-60s") {
        args.Take();
        request.settings.ignoreSixtySeconds = true;
    } else if (word == "--ignore-dst") {
        args.Take();
        request.settings.ignoreOneHour = true;
    } else if (IsOption(word, "--chunk")) {
        if (!args.TakeValue("--chunk", value, error)) return ParseOutcome::Error;
        uint64_t chunk = 0;
        const auto [end, code] = std::from_chars(value.data(), value.data() + value.size(), chunk);
        if (code != std::errc() || end != value.data() + value.size() || value.empty() ||
            chunk > std::numeric_limits<uint32_t>::max()) {
            error = "The byte count of --chunk must be a whole number from 0 to 4294967295.";
            return ParseOutcome::Error;
        }
        request.settings.crcChunk = static_cast<uint32_t>(chunk);
    } else if (IsOption(word, "--include") || IsOption(word, "--exclude")) {
        const bool include = IsOption(word, "--include");
        if (!args.TakeValue(include ? "--include" : "--exclude", value, error)) {
            return ParseOutcome::Error;
        }
        request.filterRules.push_back(
            {include ? FilterRule::kInclude : FilterRule::kExclude, value});
    } else if (IsOption(word, "--settings")) {
        if (!args.TakeValue("--settings", value, error)) return ParseOutcome::Error;
        if (!LoadRequestSettings(value, request, error)) return ParseOutcome::Error;
    } else if (IsOption(word, "--save-settings")) {
        if (!args.TakeValue("--save-settings", value, error)) return ParseOutcome::Error;
        request.saveSettingsPath = value;
    } else if (word == "--all") {
        args.Take();
        request.showAll = true;
    } else if (IsOption(word, "--format")) {
        if (!args.TakeValue("--format", value, error)) return ParseOutcome::Error;
        if (value == "text") {
            request.format = OutputFormat::Text;
        } else if (value == "tsv") {
            request.format = OutputFormat::Tsv;
        } else {
            error = "The output format must be text or tsv.";
            return ParseOutcome::Error;
        }
    } else if (word == "--") {
        args.Take();
        while (!args.AtEnd())
            request.positional.push_back(args.Take());
    } else if (word.size() > 1 && word[0] == '-') {
        return ParseOutcome::NotMine;
    } else {
        request.positional.push_back(args.Take());
    }
    return ParseOutcome::Handled;
}

bool TakeFolders(CompareRequest& request, std::string& error) {
    if (request.positional.empty() && request.loadedSettings) {
        request.source = request.loadedSettings->sourceFolder;
        request.target = request.loadedSettings->targetFolder;
    } else if (request.positional.size() == 2) {
        request.source = request.positional[0];
        request.target = request.positional[1];
        request.positional.clear();
    } else {
        error = "Name the two folders to compare: SOURCE and TARGET.";
        return false;
    }
    return request.saveSettingsPath.empty() || SaveRequestSettings(request, error);
}

const char* CompareOptionsHelp() {
    return "  -r, --subfolders        compare sub-folders too\n"
           "  --method size-time|crc|both\n"
           "                          how files are compared (default size-time)\n"
           "  --ignore-2s             ignore time differences up to 2 seconds\n"
           "  --ignore-60s            ignore time differences up to 60 seconds\n"
           "  --ignore-dst            ignore a difference of exactly one hour\n"
           "  --chunk N               checksum only about the first N bytes (0 = whole file)\n"
           "  --include RE            take part only if some include expression matches\n"
           "  --exclude RE            leave out what the expression matches (repeatable,\n"
           "                          in order, with --include)\n"
           "  --settings FILE.zvs     take folders, sub-folders, method, tolerances, chunk\n"
           "                          and filters from a settings file; options after it\n"
           "                          change them, SOURCE and TARGET replace its folders\n"
           "  --save-settings FILE.zvs\n"
           "                          write these settings to a settings file first\n"
           "  --all                   also print the rows that match\n"
           "  --format text|tsv       output for people (default) or tab-separated\n"
           "\nSOURCE or TARGET (not both) may be written \"(ftp) NAME\": the folder of the\n"
           "stored FTP connection NAME (see ravelmoor ftp list).\n";
}

}  // namespace ravelmoor
