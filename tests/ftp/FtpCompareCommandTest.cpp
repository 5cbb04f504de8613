#include <gtest/gtest.h>

#include "ftp/FtpTestServer.h"
#include "support/RunProgram.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

TEST(FtpCompareCommand, FtpSourceAgainstALocalFolder) {
    test::TempTree served;
    test::TempTree local;
    test::FtpTestServer server(served.Path());
    ASSERT_TRUE(server.Running());
    for (test::TempTree* tree : {&served, &local}) {
        tree->Write("pub/Same File.txt", "same");
        tree->Write("pub/Docs/report.txt", "version 1");
    }
    served.Write("pub/only-on-server.txt", "x");
    local.Write("pub/Docs/report.txt", "version 2", test::TempTree::kDefaultTime - 100);
    test::TempConfigHome home;
    // Stored without a user: the comparison logs on anonymously.
    const auto added = RunRavelmoor({"ftp", "add", "--server", server.Server(), "--dir", "/pub"},
                                    home.Environment());
    ASSERT_EQ(added.exitCode, 0) << added.err;

    const auto result =
        RunRavelmoor({"compare", "-r", "--method", "both", "--all", "--format", "tsv",
                      "(ftp) " + server.Server() + "/pub", local.Full("pub")},
                     home.Environment());
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "unmatched\tmissing\tfile\t0\tonly-on-server.txt\n"
              "matched\tmatched\tfile\t0\tSame File.txt\n"
              "matched\tmatched\tfolder\t0\tDocs\n"
              "newer\tolder\tfile\t0\tDocs/report.txt\n");
    EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace ravelmoor
