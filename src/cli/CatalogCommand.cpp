// tryster-cli catalog: the four appearance lists and their selections, as
// the wizard shows them after a gender button was pressed for the given
// character.

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/TextOutput.h"
#include "cli/PreviewGame.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <memory>

namespace tryster::cli {
namespace {

struct CatalogOptions {
    std::string game;
    LookOptions look;
    bool json = false;
};

// A size that holds nothing but keeps the device happy: nothing is drawn.
constexpr int kTargetSize = 64;

void runCatalog(const CatalogOptions& options) {
    PreviewGame game(options.game, kTargetSize, kTargetSize, 1);
    game.applyLook(options.look);
    game.warnOfDamagedFiles();
    const preview::SkinCatalog& c = game.look().catalog();
    const Appearance& look = game.look().names();

    struct Shown {
        const char* label;
        const char* listKey;
        const char* choiceKey;
        const preview::NameListModel& list;
        const std::string& choice;
    };
    const Shown lists[] = {{"Head Mesh:", "headMeshes", "headMesh", c.headMeshes, look.headMesh},
                           {"Head Texture:", "headTextures", "headTexture", c.headTextures, look.headTexture},
                           {"Body Mesh:", "bodyMeshes", "bodyMesh", c.bodyMeshes, look.bodyMesh},
                           {"Body Texture:", "bodyTextures", "bodyTexture", c.bodyTextures, look.bodyTexture}};
    if (options.json) {
        nlohmann::ordered_json out;
        // The catalog names skins in the game's code page.
        for (const Shown& s : lists) {
            nlohmann::ordered_json names = nlohmann::ordered_json::array();
            for (const std::string& name : s.list.entries()) names.push_back(utf8(name));
            out[s.listKey] = std::move(names);
        }
        for (const Shown& s : lists) out[s.choiceKey] = utf8(s.choice);
        printJson(out);
        return;
    }
    for (const Shown& s : lists) {
        fmt::print("{} {} ({} entries)\n", s.label, s.choice.empty() ? "(none)" : s.choice, s.list.size());
        for (std::size_t i = 0; i < s.list.size(); ++i)
            fmt::print("  {} {}\n", static_cast<int>(i) == s.list.selectedIndex() ? '*' : ' ', s.list.entries()[i]);
    }
}

}  // namespace

void addCatalogCommand(CLI::App& app) {
    auto options = std::make_shared<CatalogOptions>();
    CLI::App* cmd = app.add_subcommand(
        "catalog", "List the head and body meshes and textures the wizard offers for a character, and what "
                   "it selects");
    cmd->add_option("--game", options->game, "The game's install folder")->required();
    options->look.addTo(*cmd, false);
    cmd->get_option("--gender")->required();
    cmd->get_option("--body-type")->required();
    cmd->get_option("--skin-tone")->required();
    cmd->add_flag("--json", options->json, "Print JSON");
    cmd->callback([options] { runCatalog(*options); });
}

}  // namespace tryster::cli
