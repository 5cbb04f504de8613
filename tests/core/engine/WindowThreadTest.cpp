#include "core/engine/WindowThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/engine/SideProvider.h"
#include "core/local/LocalFileSystem.h"
#include "support/ScriptedPrompter.h"

namespace ravelmoor {
namespace {

// A side on a server that only counts how often it was asked to connect.
class CountingRemote : public RemoteSide {
  public:
    explicit CountingRemote(std::atomic<int>& opened) : opened_(opened) {}
    SideKind Kind() const override { return SideKind::Ftp; }
    const std::string& Folder() const override { return folder_; }
    OpenResult<FileSystem> Open(Prompter& /*prompter*/,
                                const std::atomic<int32_t>* /*cancel*/) override {
        ++opened_;
        return OpenResult<FileSystem>(std::make_unique<LocalFileSystem>());
    }

  private:
    std::atomic<int>& opened_;
    std::string folder_ = "/";
};

struct RemoteCall {
    const char* name;
    const char* message;
    std::function<bool(SideProvider&)> call;
};

const RemoteCall kRemoteCalls[] = {
    {"OpenRemote", "opening a side on a server",
     [](SideProvider& sides) { return sides.OpenRemote(nullptr); }},
    {"Reopen", "opening a side on a server again",
     [](SideProvider& sides) { return sides.Reopen(nullptr); }},
};

// The window tests run with the check armed (GuiTestMain): a remote call on
// this, the window's, thread stops the binary; on a worker it goes ahead.
TEST(WindowThreadTest, RemoteCallsStopOnTheWindowThreadAndGoAheadOnAWorker) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(OnWindowThread());
    for (const RemoteCall& c : kRemoteCalls) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompter prompter;
        std::atomic<int> opened{0};
        SideProvider sides(prompter, std::make_shared<LocalFileSystem>());
        sides.Reset("/a/", "/b/");
        sides.SetRemote(Side::Target, std::make_unique<CountingRemote>(opened));
        EXPECT_DEATH(c.call(sides),
                     std::string("A remote call ran on the window's thread: ") + c.message);

        bool answered = false;
        std::thread worker([&] {
            EXPECT_FALSE(OnWindowThread());
            answered = c.call(sides);
        });
        worker.join();
        EXPECT_TRUE(answered);
        EXPECT_EQ(opened.load(), 1);
    }
}

}  // namespace
}  // namespace ravelmoor
