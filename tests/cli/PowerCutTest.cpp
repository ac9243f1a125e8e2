// Every command that writes the player's files, with the power cut after
// each change it makes, in every state the disk may then hold
// (support/PowerCutFileSystem.h). In each state, once the next run has
// done what it does first (finishing an interrupted install, uninstall or
// undo from its journal):
// - every file is the old one or the new one, whole, and nothing else of
//   the player's has changed;
// - a change recorded in the game folder's history is there whole or not
//   at all;
// - where the command's file is still the old one, running the command
//   again does the job and leaves nothing of the first run behind.

#include "RunCli.h"
#include "demoworld/DemoWorld.h"
#include "exchange/DateTemplate.h"
#include "share/Recovery.h"
#include "support/FaultyFileSystem.h"
#include "support/PowerCutFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>
#include <string_view>

namespace tryster::test {
namespace {

namespace fs = std::filesystem;
using State = PowerCutFileSystem::State;

// The demo folder, written once; each writer gets a copy.
const fs::path& demo() {
    static TempDir dir;
    static const fs::path folder = [] {
        std::string error;
        EXPECT_TRUE(demoworld::writeDemoWorld(dir.file("demo"), error)) << error;
        EXPECT_EQ(exchange::buildDateTemplate(dir.file("TR_Template.iff")), resfile::kNoError);
        return dir.path() / "demo";
    }();
    return folder;
}

// A writer is one row: its command, where "@" stands for the game folder (a
// copy of the demo's) and "%" for a work folder beside it, which holds a
// template and a file of data; what it sets up first; the file it is about.
struct Writer {
    const char* name;
    std::vector<std::string> command;
    std::string file;
    void (*setUp)(const fs::path& game, const fs::path& work) = nullptr;
    bool journalled = false;  // a change to the game folder's history: the next run finishes it
};

std::string run(std::vector<std::string> args, const fs::path& game, const fs::path& work) {
    for (std::string& a : args)
        if (a[0] == '@' || a[0] == '%') a = (a[0] == '@' ? game : work).string() + a.substr(1);
    return runCli({cli::addDateCommand, cli::addTownieCommand, cli::addCharacterCommand, cli::addIffCommand,
                   cli::addHistoryCommand},
                  std::move(args));
}

// A step of a row's set-up, which must succeed.
void prepare(std::vector<std::string> args, const fs::path& game, const fs::path& work) {
    const std::string out = run(std::move(args), game, work);
    EXPECT_EQ(out.rfind("failed", 0), std::string::npos) << out;
}

const std::vector<std::string> kReplaceTownie = {"townie", "replace", "@/UserData/Neighborhood.iff", "User00001.iff",
                                                 "@/TemplateNPCs/Date_Rosa.iff"};

void replaceTownie(const fs::path& game, const fs::path& work) { prepare(kReplaceTownie, game, work); }

// Rosa's pack, made from the demo folder, and a game folder without her
// whose copy of one of her skins is the player's own.
void packRosa(const fs::path& game, const fs::path& work) {
    prepare({"date", "pack", "Date_Rosa", "--game", demo().string(), "--out", "%/Date_Rosa.zip"}, game, work);
    fs::remove(game / "TemplateNPCs/Date_Rosa.iff");
    std::ofstream(game / "GameData/Skins/c021fa_long.cmx") << "the player's own\n";
}

const Writer kWriters[] = {
    {"DateCreate",  // over an earlier one, which is kept as a backup
     {"date", "create", "--game", "@", "--character", TRYSTER_TEST_DATA "/bob.json", "--out", "@/TemplateNPCs/Bob.srf",
      "--template", "%/TR_Template.iff"},
     "TemplateNPCs/Bob.iff",
     [](const fs::path& game, const fs::path&) {
         fs::copy_file(game / "TemplateNPCs/Date_Rosa.iff", game / "TemplateNPCs/Bob.iff");
         std::ofstream(game / "TemplateNPCs/Bob.srf") << "an earlier export\n";
     },
     true},
    {"TownieReplace", kReplaceTownie, "UserData/Characters/User00001.iff", nullptr, true},
    {"SaveBack",
     {"character", "save-back", "@/UserData/Characters/User00001.iff", "--body-mesh", "b004mafat_01", "--body-texture",
      "B004MAFatdrk_plad", "--head-mesh", "c011ma_repo", "--head-texture", "C011madrk_rotc", "--skin-tone", "2",
      "--body-type", "1"},
     "UserData/Characters/User00001.iff", nullptr, true},
    {"IffPut", {"iff", "put", "@/TemplateNPCs/Date_Rosa.iff", "TEXT", "7", "-i", "%/in.bin"}, "TemplateNPCs/Date_Rosa.iff"},
    {"IffRm", {"iff", "rm", "@/TemplateNPCs/Date_Rosa.iff", "CTSS", "2000"}, "TemplateNPCs/Date_Rosa.iff"},
    {"Install", {"date", "install", "%/Date_Rosa.zip", "--game", "@", "--replace-skins"}, "TemplateNPCs/Date_Rosa.iff",
     packRosa, true},
    {"Uninstall", {"date", "uninstall", "Date_Rosa", "--game", "@"}, "TemplateNPCs/Date_Rosa.iff",
     [](const fs::path& game, const fs::path& work) {
         packRosa(game, work);
         prepare({"date", "install", "%/Date_Rosa.zip", "--game", "@", "--replace-skins"}, game, work);
     },
     true},
    {"Undo", {"history", "undo", "1", "--game", "@"}, "UserData/Characters/User00001.iff", replaceTownie, true},
    {"UndoKeepingCurrent", {"history", "undo", "1", "--game", "@", "--keep-current"},
     "UserData/Characters/User00001.iff",
     [](const fs::path& game, const fs::path& work) {
         replaceTownie(game, work);
         std::ofstream(game / "UserData/Characters/User00001.iff", std::ios::app) << "played since\n";
     },
     true},
};

void PrintTo(const Writer& writer, std::ostream* out) { *out << writer.name; }

bool same(const std::shared_ptr<const PowerCutFileSystem::Bytes>& a,
          const std::shared_ptr<const PowerCutFileSystem::Bytes>& b) {
    return a == b || (a && b && *a == *b);
}

class PowerCut : public ::testing::TestWithParam<Writer> {
protected:
    ~PowerCut() override { (void)platform::fileSystem().setCurrentDirectory(cwd_); }
    const std::string cwd_ = platform::fileSystem().currentDirectory();
};

TEST_P(PowerCut, EveryStateTheDiskMayHoldIsOldOrNewAndTheNextRunFinishesIt) {
    const Writer& writer = GetParam();
    TempDir dir;
    const fs::path game = dir.path() / "game", work = dir.path() / "work";
    fs::copy(demo(), game, fs::copy_options::recursive);
    fs::create_directories(work);
    fs::copy_file(demo().parent_path() / "TR_Template.iff", work / "TR_Template.iff");
    std::ofstream(work / "in.bin") << std::string(3000, 'x');
    if (writer.setUp) writer.setUp(game, work);

    PowerCutFileSystem recorded(game.string());
    {
        const ScopedFileSystem installed(recorded);
        const std::string out = run(writer.command, game, work);
        ASSERT_EQ(out.rfind("failed", 0), std::string::npos) << out;
    }
    const State before = recorded.before(), after = recorded.now();
    ASSERT_TRUE(before.count(writer.file)) << "the command never touched " << writer.file;
    State disk = after;
    std::size_t states = 0;
    std::set<std::size_t> ranAgainFrom;
    const std::size_t points = recorded.forEachState([&](const State& crashed, bool done) {
        std::string shown = "state " + std::to_string(++states);
        for (const auto& [name, bytes] : crashed) {
            if (!same(bytes, disk[name])) recorded.restore({{name, bytes}});
            shown += "\n  " + name + (same(bytes, before.at(name)) ? " old" : same(bytes, after.at(name)) ? " new" : " other");
        }
        disk = crashed;
        SCOPED_TRACE(shown);

        PowerCutFileSystem next(game.string());
        const ScopedFileSystem installed(next);
        if (writer.journalled) {
            const share::RecoveryOutcome recovery = share::recoverInterrupted(game.string());
            EXPECT_TRUE(recovery.clean) << ::testing::PrintToString(recovery.messages);
        }
        State now = crashed;
        for (auto& [name, bytes] : next.now()) now[name] = bytes;
        const State untouched = next.before();
        // Each file is the old one or the new one, whole (a file the command
        // makes: none, or the new one). A staged copy may be left where no
        // journal finishes the job, until the command runs again.
        bool wasBefore = true, wasAfter = true;
        std::size_t digest = 0;
        for (const auto& [name, bytes] : now) {
            const bool ours = before.count(name) != 0;
            const auto b = ours ? before.at(name) : untouched.at(name), a = ours ? after.at(name) : untouched.at(name);
            wasBefore = wasBefore && same(bytes, b);
            wasAfter = wasAfter && same(bytes, a);
            EXPECT_TRUE(same(bytes, b) || same(bytes, a) || (!writer.journalled && ours && !b && !a))
                << name << (bytes ? " is neither the old file nor the new one" : " is gone");
            const std::string_view text(bytes ? reinterpret_cast<const char*>(bytes->data()) : "-", bytes ? bytes->size() : 1);
            digest = digest * 31 + std::hash<std::string>()(name) + std::hash<std::string_view>()(text);
        }
        EXPECT_TRUE(wasBefore || wasAfter || !writer.journalled) << "the job is there in part";
        EXPECT_TRUE(wasAfter || !done) << "the command said it was done, yet the power cut takes some of it";

        // Where the command's file is the old one: the command again, once
        // per distinct state of the files.
        if (same(now[writer.file], before.at(writer.file)) && ranAgainFrom.insert(digest).second) {
            const std::string out = run(writer.command, game, work);
            EXPECT_EQ(out.rfind("failed", 0), std::string::npos) << out;
            State again = next.now();
            EXPECT_FALSE(same(again[writer.file], before.at(writer.file))) << "the command did nothing";
            for (const auto& [name, bytes] : again)
                EXPECT_FALSE(bytes && after.count(name) && !after.at(name) && !before.at(name)) << name << " left behind";
        }
        next.restore(next.before());  // what the next run changed, put back
    });
    std::cout << writer.name << ": " << recorded.changes() << " changes, " << points << " crash points, " << states
              << " states, " << ranAgainFrom.size() << " runs again\n";
}

INSTANTIATE_TEST_SUITE_P(Writers, PowerCut, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tryster::test
