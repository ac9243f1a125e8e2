#pragma once
// Forgetting a change: the game stays as it is, the change can no longer
// be undone, and the backups that only it needed are deleted to give
// their space back. The change stays in the history, marked forgotten.
// Journaled like every change (Journal.h): the history marks it first,
// then the backups go, so a kill never leaves a change that could be
// undone without its backups.

#include "share/History.h"
#include "share/Journal.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

struct ForgetPlan {
    std::string gameFolder;
    HistoryEntry entry;
    std::vector<std::string> backups;  // game paths of the backups deleted
    std::uint64_t bytes = 0;           // their size
    std::string problem;               // why it cannot be forgotten; empty when it can

    bool ok() const { return problem.empty(); }
};

// What forgetting change `id` would delete; writes nothing.
ForgetPlan planForget(const History& history, std::string_view gameFolder, std::int64_t id);

struct ForgetOutcome {
    bool done = false;
    std::vector<std::string> deleted;  // game paths
    std::uint64_t bytes = 0;
    std::string problem;
    bool leftForRecovery = false;
};

// Holds the game folder, finishes what an interrupted run left, plans the
// forget again on the history read afresh and carries it out. Given the
// plan the player agreed to, one that would delete other backups now is
// refused.
ForgetOutcome forgetChange(std::string_view gameFolder, std::int64_t id, const ForgetPlan* agreed = nullptr);

// Carries out a forget's journal on a held game folder (also what recovery
// runs).
ForgetOutcome finishForget(std::string_view gameFolder, History history, const Journal& journal);

// The space the backups of an entry take on the disk now; of all entries
// that are not forgotten.
std::uint64_t backupBytes(std::string_view gameFolder, const HistoryEntry& entry);
std::uint64_t backupBytes(std::string_view gameFolder, const History& history);

}  // namespace tryster::share
