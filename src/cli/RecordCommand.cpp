// tryster-cli record FILE.json: the derived values of a character
// description: its nearest sign, its interest ranking and each interest's
// level.

#include "cli/CharacterDescription.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <memory>

namespace tryster::cli {
namespace {

struct RecordOptions {
    std::string file;
    bool json = false;
};

void runRecord(const RecordOptions& options) {
    Character d = loadCharacterDescription(options.file);
    StarSign sign = nearestSign(d.record.personalityValues());
    const auto& ranking = d.record.interestRankingValues();

    if (options.json) {
        nlohmann::ordered_json out;
        out["sign"] = kSignNames[static_cast<std::size_t>(sign)];
        out["signIndex"] = static_cast<int>(sign);
        out["ranking"] = ranking;
        nlohmann::ordered_json levels = nlohmann::ordered_json::object();
        for (int id = 0; id < kInterestCount; ++id)
            levels[std::string(kInterestNames[static_cast<std::size_t>(id)])] = interestLevel(d.record, id);
        out["levels"] = levels;
        printJson(out);
        return;
    }
    fmt::print("sign: {} ({})\n", kSignNames[static_cast<std::size_t>(sign)], static_cast<int>(sign));
    fmt::print("ranking:");
    for (std::int32_t id : ranking) fmt::print(" {}", id);
    fmt::print("\nlevels:\n");
    for (int id = 0; id < kInterestCount; ++id)
        fmt::print("  {}: {}\n", kInterestNames[static_cast<std::size_t>(id)], interestLevel(d.record, id));
}

}  // namespace

void addRecordCommand(CLI::App& app) {
    auto options = std::make_shared<RecordOptions>();
    CLI::App* cmd = app.add_subcommand(
        "record", "Read a character description (JSON) and print its nearest sign, its interest "
                  "ranking and each interest's level");
    cmd->add_option("FILE", options->file, "Character description (JSON)")->required();
    cmd->add_flag("--json", options->json, "Print JSON");
    cmd->callback([options] { runRecord(*options); });
}

}  // namespace tryster::cli
