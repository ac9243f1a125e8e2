#pragma once
// The subcommands of tryster-cli. Each file adds one command (or one group)
// to the application; main() only collects them.

#include <stdexcept>
#include <string>

namespace CLI {
class App;
}

namespace tryster::cli {

// A failure the command reports to the user: main() prints the message as
// one line on standard error and exits with 1.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void addRecordCommand(CLI::App& app);
void addIffCommand(CLI::App& app);
void addAnimCommand(CLI::App& app);
void addDemoWorldCommand(CLI::App& app);
// The pose and skin subcommands of the anim group.
void addAnimPoseCommands(CLI::App& anim);
void addDateCommand(CLI::App& app);
// The pack, install and uninstall subcommands of the date group.
void addDateShareCommands(CLI::App& date);
void addCatalogCommand(CLI::App& app);
void addRenderCommand(CLI::App& app);
void addTownieCommand(CLI::App& app);
void addCharacterCommand(CLI::App& app);

}  // namespace tryster::cli
