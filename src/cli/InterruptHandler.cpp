#include "cli/InterruptHandler.h"

#include <csignal>

namespace ravelmoor {
namespace {

std::atomic<std::atomic<int32_t>*> target{nullptr};
std::atomic<bool> interrupted{false};
static_assert(std::atomic<int32_t>::is_always_lock_free, "the cancel word is set from a signal");

extern "C" void OnSignal(int signal) {
    interrupted.store(true);
    if (std::atomic<int32_t>* word = target.load()) word->store(1);
    std::signal(signal, SIG_DFL);  // a second one ends the program
}

}  // namespace

InterruptHandler::InterruptHandler(std::atomic<int32_t>& cancelWord) {
    interrupted.store(false);
    target.store(&cancelWord);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

InterruptHandler::~InterruptHandler() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    target.store(nullptr);
}

bool InterruptHandler::Interrupted() {
    return interrupted.load();
}

}  // namespace ravelmoor
