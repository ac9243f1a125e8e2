// tryster-cli demo-world DIR: writes the demo game folder, a small,
// complete game install made by the project itself, so that the program
// and the commands can run without the game.

#include "cli/Commands.h"

#include "demoworld/DemoWorld.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <memory>

namespace tryster::cli {
namespace {

void runDemoWorld(const std::string& folder) {
    std::string error;
    if (!demoworld::writeDemoWorld(folder, error)) throw CommandError(error);
    fmt::print("{}\n", folder);
}

}  // namespace

void addDemoWorldCommand(CLI::App& app) {
    auto folder = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "demo-world", "Write the demo game folder (skeletons, outfits, meshes, textures, animations, a "
                      "neighbourhood with townies and dates) into DIR, which must not exist yet or be empty");
    cmd->add_option("DIR", *folder, "The folder to make")->required();
    cmd->callback([folder] { runDemoWorld(*folder); });
}

}  // namespace tryster::cli
