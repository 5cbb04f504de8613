#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor::test {

// A Source and a Target tree for the command line, and a home of its own so
// that the trash, the journals and the settings of each run stay in temp
// folders.
class CommandTest : public ::testing::Test {
  protected:
    // same.txt equal, Docs/report.txt newer in Source than docs/report.txt in
    // Target, only-here.txt in Source only, gone/old.txt in Target only.
    void WriteDifferingTrees() {
        source.Write("same.txt", "same");
        target.Write("same.txt", "same");
        source.Write("Docs/report.txt", "new", 2000);
        target.Write("docs/report.txt", "old", 1000);
        source.Write("only-here.txt", "x", 1500);
        target.Write("gone/old.txt", "y");
    }
    std::map<std::string, std::string> Environment() const {
        return {{"HOME", home.Path()},
                {"XDG_DATA_HOME", home.Full("data")},
                {"XDG_STATE_HOME", home.Full("state")},
                {"XDG_CONFIG_HOME", home.Full("config")}};
    }
    // Runs `args` followed by the two trees.
    ProgramResult RunOnTrees(std::vector<std::string> args) const {
        args.insert(args.end(), {source.Path(), target.Path()});
        return RunRavelmoor(args, Environment());
    }

    TempTree source;
    TempTree target;
    TempTree home;
};

}  // namespace ravelmoor::test
