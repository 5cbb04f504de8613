#include <gtest/gtest.h>

#include "app/StartupChoice.h"
#include "support/RunProgram.h"

namespace ravelmoor {
namespace {

TEST(StartupChoice, DesktopOnlyForNoArgumentsOrOneSettingsFileWithADisplay) {
    struct Case {
        std::vector<std::string> arguments;
        bool display;
        bool desktop;
    };
    const std::vector<Case> cases = {
        {{}, true, true},
        {{"Setup.ZVS"}, true, true},
        {{"\"my setup.zvs\""}, true, true},
        {{}, false, false},
        {{"setup.zvs"}, false, false},
        {{"setup.zvs", "--format", "tsv"}, true, false},
        {{"compare", "a", "b"}, true, false},
        {{"--help"}, true, false},
        {{".zvs"}, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartsDesktop(c.arguments, c.display), c.desktop)
            << (c.arguments.empty() ? "" : c.arguments[0]) << " display " << c.display;
    }
    EXPECT_EQ(SettingsFileArgument({"\"/tmp/my setup.zvs\""}), "/tmp/my setup.zvs");
    EXPECT_EQ(SettingsFileArgument({}), "");
}

TEST(StartupChoice, WithoutDisplay_TheProgramStaysOnTheCommandLine) {
    for (const char* platform : {"", "offscreen", "minimal:enable_fonts"}) {
        const auto result = test::RunRavelmoor(
            {}, {{"QT_QPA_PLATFORM", platform}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
        EXPECT_EQ(result.exitCode, 2) << platform;
        EXPECT_NE(result.err.find("Usage:"), std::string::npos) << platform;
    }
}

}  // namespace
}  // namespace ravelmoor
