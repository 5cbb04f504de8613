#include <gtest/gtest.h>

#include "ftp/FtpTestServer.h"
#include "support/RunProgram.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

class FtpCompareCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running());
        for (test::TempTree* tree : {&served, &local}) {
            tree->Write("pub/Same File.txt", "same");
            tree->Write("pub/Docs/report.txt", "version 1");
        }
        served.Write("pub/only-on-server.txt", "x");
        local.Write("pub/Docs/report.txt", "version 2", test::TempTree::kDefaultTime - 100);
        // Stored without a user: the comparison logs on anonymously.
        const auto added = Run({"ftp", "add", "--server", server.Server(), "--dir", "/pub"});
        ASSERT_EQ(added.exitCode, 0) << added.err;
        name = server.Server() + "/pub";
    }

    test::ProgramResult Run(const std::vector<std::string>& args) {
        return RunRavelmoor(args, home.Environment());
    }

    test::TempTree served;
    test::TempTree local;
    test::FtpTestServer server{served.Path()};
    test::TempConfigHome home;
    std::string name;
};

TEST_F(FtpCompareCommandTest, FtpSourceAgainstALocalFolder) {
    const auto result = Run({"compare", "-r", "--method", "both", "--all", "--format", "tsv",
                             "(ftp) " + name, local.Full("pub")});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "unmatched\tmissing\tfile\t0\tonly-on-server.txt\n"
              "matched\tmatched\tfile\t0\tSame File.txt\n"
              "matched\tmatched\tfolder\t0\tDocs\n"
              "newer\tolder\tfile\t0\tDocs/report.txt\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(FtpCompareCommandTest, SidesAreCheckedInLaunchOrder) {
    struct Case {
        std::string source, target, message;
    };
    const std::vector<Case> cases = {
        {"(ftp) nothing", "(ftp) " + name, "Source FTP connection not found"},
        {"(ftp) " + name, "(ftp) nothing",
         "Sorry this version does not support comparison between two FTP directories."},
        {local.Full("pub"), "(ftp) nothing", "Target FTP connection not found"},
        {local.Full("pub"), "(FTP) " + name, "Target folder not found."},
    };
    for (const Case& c : cases) {
        const auto result = Run({"compare", c.source, c.target});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err, c.message + "\n") << c.source << " | " << c.target;
    }
}

}  // namespace
}  // namespace ravelmoor
