#pragma once

#include <string>
#include <string_view>

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

}  // namespace ravelmoor
