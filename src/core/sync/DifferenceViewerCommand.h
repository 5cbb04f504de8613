#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

// The command template: the program, one blank, the parameters, and every
// "%s1" and every "%s2" in that text made a plain "%s".
std::string DifferenceCommandTemplate(std::string_view program, std::string_view parameters);

// Fills a template by position: the first "%s" gets the Source path, the
// second the Target path, so parameters that name %s2 before %s1 still pass
// the Source path first. "%%" gives one "%"; a further "%s" gives nothing;
// any other '%' stays as it is.
std::string FillDifferenceCommand(std::string_view commandTemplate, std::string_view sourcePath,
                                  std::string_view targetPath);

// A file-comparison program ready to start: the program's path and its
// arguments, each path exactly one argument whatever it holds; `text` is the
// same as one line, for messages.
struct ViewerCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string text;
};

// The program path as the user typed it, blanks and all; one pair of double
// quotes around the whole of it is dropped, since a path needs no quoting.
std::string ViewerProgramPath(std::string_view program);

// Splits the parameters into words as a shell would (blanks separate words,
// double quotes group and are removed), then fills the placeholders by
// position as FillDifferenceCommand does, inside the words, so a path with
// blanks or quotes never becomes two arguments.
ViewerCommand MakeViewerCommand(std::string_view program, std::string_view parameters,
                                std::string_view sourcePath, std::string_view targetPath);

}  // namespace ravelmoor
