#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>

#include "StartupChoice.h"
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
    // ":987" names a display nobody serves: Qt would abort on it.
    for (const char* platform : {"", "offscreen", "minimal:enable_fonts"}) {
        const auto result = test::RunRavelmoor(
            {}, {{"QT_QPA_PLATFORM", platform}, {"DISPLAY", ":987"}, {"WAYLAND_DISPLAY", ""}});
        EXPECT_EQ(result.exitCode, 2) << platform;
        EXPECT_NE(result.err.find("Usage:"), std::string::npos) << platform;
    }
}

TEST(StartupChoice, LocalX11DisplayCountsOnlyWhenItsSocketAnswers) {
    // A listener in the abstract namespace stands in for an X server without
    // leaving a file behind.
    const std::string name = "/tmp/.X11-unix/X987";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    name.copy(address.sun_path + 1, name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());

    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("DISPLAY", ":987.0", 1);
    EXPECT_FALSE(DisplayAvailable());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    EXPECT_TRUE(DisplayAvailable());
    ::close(listener);
    ::setenv("DISPLAY", "buildhost:0", 1);
    EXPECT_TRUE(DisplayAvailable());
    // A platform named for a person's screen is taken at its word, as Qt does.
    ::unsetenv("DISPLAY");
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    EXPECT_TRUE(DisplayAvailable());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace
}  // namespace ravelmoor
