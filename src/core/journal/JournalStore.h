#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/journal/Journal.h"

namespace ravelmoor {

// Where the journals of past synchronisations are kept:
// $XDG_STATE_HOME/ravelmoor/journal/ (by default ~/.local/state/...), one file
// "ID.journal" per synchronisation. An ID is the sync's start in UTC,
// "YYYYMMDD-HHMMSS-mmm", so that names sort as the syncs ran.
class JournalStore {
  public:
    static constexpr int64_t kKeepSeconds = int64_t{90} * 24 * 60 * 60;
    static constexpr size_t kKeepCount = 100;

    // The program's state folder, $XDG_STATE_HOME/ravelmoor (by default
    // ~/.local/state/ravelmoor); empty when neither names a folder.
    static std::string StateFolder();
    // The journals' folder in it; empty when there is no state folder.
    static std::string Folder();
    // The IDs of the journals kept, oldest first.
    static std::vector<std::string> Ids();
    static std::string PathOf(const std::string& id);
    // The journal a plain undo takes back: the newest, unless that is an
    // undo which left work it may still do (it was stopped or killed, or an
    // object failed or had changed): then the synchronisation that undo was
    // taking back, so that undoing again finishes it. Empty when none is kept.
    static std::string IdToUndo();
    // Reads the journal `id`. Unreadable, the reason naming it and the cause,
    // when it cannot be opened; a damaged journal reads as far as it can.
    static JournalOutcome Read(const std::string& id, SyncJournal& journal);
    // Removes journals older than kKeepSeconds and all but the newest
    // `keep` ones. The trash items they name stay where they are.
    static void Prune(int64_t now, size_t keep = kKeepCount);
};

}  // namespace ravelmoor
