#include <gtest/gtest.h>

#include <string>

#include "core/sync/ServerVersions.h"

namespace ravelmoor {
namespace {

// Only the folders a sync made are ever taken for a run and removed when old:
// a folder of the user's that happens to lie there stays.
TEST(RunFolderNames, AreReadOnlyWhenASyncMadeThem) {
    struct Row {
        const char* name;
        bool run;
        int64_t utc;
    };
    const Row rows[] = {
        {"2000-01-01-000000", true, 946684800},
        {"2026-12-06-192358", true, 1796585038},
        {"2026-12-06-192358-2", true, 1796585038},
        {"2026-12-06-192358-17", true, 1796585038},
        {"2026-12-06-192358-", false, 0},
        {"2026-12-06-192358-x", false, 0},
        {"2026-12-06-192358.bak", false, 0},
        {"2026-13-06-192358", false, 0},
        {"2026-12-06-246000", false, 0},
        {"2026-12-06 192358", false, 0},
        {"2026-12-0a-192358", false, 0},
        {"notes", false, 0},
        {"", false, 0},
    };
    for (const Row& row : rows) {
        int64_t utc = 0;
        EXPECT_EQ(StampTime(row.name, utc), row.run) << row.name;
        if (row.run) {
            EXPECT_EQ(utc, row.utc) << row.name;
        }
    }
    // A run's own name reads back as its start.
    EXPECT_EQ(VersionStamp(1796585038), "2026-12-06-192358");
}

}  // namespace
}  // namespace ravelmoor
