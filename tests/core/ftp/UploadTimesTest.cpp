#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ftp/UploadTimes.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

// A server that keeps no times: an upload got the server's 10:05 (to the
// minute), its original was from 2020. The record gives the original's time
// back only while the file is listed as it was after the upload; a file
// changed on the server since is listed as it is.
TEST(UploadTimes, HoldOnlyWhileTheFileIsListedAsItWasAfterTheUpload) {
    test::TempTree state;
    const char* previous = std::getenv("XDG_STATE_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    const int64_t uploaded = 1700000700;  // a whole minute
    const int64_t original = 1577934245;
    {
        UploadTimes times("ftp.example:21", "anna");
        times.Remember("/pub/a b.txt", 10, uploaded, 59, original);
        times.Remember("/pub/gone.txt", 5, uploaded, 0, original);
        times.Forget("/pub/gone.txt");
    }  // kept as the object goes
    struct Case {
        const char* what;
        const char* path;
        uint64_t size;
        int64_t listed;
        int64_t span;
        bool found;
    };
    const Case cases[] = {
        {"listed as after the upload", "/pub/a b.txt", 10, uploaded, 59, true},
        {"listed to the second within that minute", "/pub/a b.txt", 10, uploaded + 59, 0, true},
        {"changed since: another minute", "/pub/a b.txt", 10, uploaded + 60, 59, false},
        {"changed since: another size", "/pub/a b.txt", 11, uploaded, 59, false},
        {"forgotten", "/pub/gone.txt", 5, uploaded, 0, false},
        {"another server's file", "/pub/other.txt", 10, uploaded, 59, false},
    };
    UploadTimes reread("ftp.example:21", "anna");
    for (const Case& c : cases) {
        int64_t time = 0;
        EXPECT_EQ(reread.OriginalTime(c.path, c.size, c.listed, c.span, time), c.found) << c.what;
        if (c.found) {
            EXPECT_EQ(time, original) << c.what;
        }
    }
    UploadTimes otherUser("ftp.example:21", "bert");
    EXPECT_TRUE(otherUser.Empty());
    previous != nullptr ? ::setenv("XDG_STATE_HOME", kept.c_str(), 1)
                        : ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace ravelmoor
