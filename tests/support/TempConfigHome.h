#pragma once

#include <map>
#include <string>

#include "support/TempTree.h"

namespace ravelmoor::test {

// A fresh, empty per-user store: XDG_CONFIG_HOME and this process's QSettings
// both point at a temp folder while the object lives, so the store's file is
// <folder>/KVOLT/Ravelmoor.ini for the test and for programs it starts. No
// session bus is named either, so passwords go to the file beside the store
// and a test never touches the user's own keyring.
class TempConfigHome {
  public:
    TempConfigHome();
    ~TempConfigHome();
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::string& Path() const { return tree_.Path(); }
    std::string IniPath() const { return tree_.Full("KVOLT/Ravelmoor.ini"); }
    // The environment for `RunRavelmoor`.
    std::map<std::string, std::string> Environment() const {
        return {{"XDG_CONFIG_HOME", Path()}, {"DBUS_SESSION_BUS_ADDRESS", ""}};
    }
    // The password file beside the store ("" when there is none).
    std::string Passwords() const;

    // The store's file as text ("" when there is none), or written by hand.
    std::string Ini() const;
    void WriteIni(const std::string& text);

  private:
    TempTree tree_;
    std::string previous_;
    bool hadPrevious_ = false;
    std::string previousBus_;
    bool hadPreviousBus_ = false;
};

}  // namespace ravelmoor::test
