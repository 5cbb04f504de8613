#include "core/sftp/SftpConnectionStore.h"
#include "support/MainWindowFixture.h"
#include "support/SshTestServer.h"

namespace ravelmoor {
namespace {

using SftpWindowTest = test::MainWindowFixture;

// A host key the window has not seen is a question that shows its
// fingerprint: No stops the launch before anything is read, Yes compares and
// remembers the key, which is not asked about again.
TEST_F(SftpWindowTest, UnknownHostKeyIsAQuestion) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    tree.Write("local/a.txt", "same", 1000);
    tree.Write("served/a.txt", "same", 1000);
    ASSERT_TRUE(SftpConnectionStore(store)
                    .WriteConnection("box", server.Connection(tree.Full("served")))
                    .stored);
    struct Step {
        const char* what;
        bool answer;
        size_t questions;
        int resultsShown;
    };
    const Step steps[] = {
        {"No", false, 1, 0},
        {"Yes", true, 1, 1},
        {"known", false, 0, 2},
    };
    for (const Step& step : steps) {
        prompter.Script({step.answer});
        const size_t before = prompter.Log().size();
        Compare("(sftp) box", tree.Full("local"));
        ASSERT_EQ(prompter.Log().size(), before + step.questions) << step.what;
        if (step.questions > 0) {
            EXPECT_EQ(prompter.Log().back().kind, "yesno") << step.what;
            EXPECT_NE(prompter.Log().back().text.find("Its key fingerprint is SHA256:"),
                      std::string::npos)
                << prompter.Log().back().text;
        }
        EXPECT_EQ(resultsShown, step.resultsShown) << step.what;
    }
    EXPECT_EQ(window->SourceBox()->Text(), "(sftp) box");
}

}  // namespace
}  // namespace ravelmoor
