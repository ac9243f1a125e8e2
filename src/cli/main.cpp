// tryster-cli: the command-line tool over the same core as the program, for
// modders, scripts and our own checks.

#include "cli/Commands.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    CLI::App app{
        "Tryster command-line tool: builds and inspects date characters and the game's "
        "files without the window.",
        "tryster-cli"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every subcommand");

    // As the program does at its start: the generator that draws the new
    // dates' object identifiers follows the calendar time.
    tryster::platform::seedRandom(static_cast<std::uint32_t>(tryster::platform::calendarSeconds()));

    tryster::cli::addRecordCommand(app);
    tryster::cli::addIffCommand(app);
    tryster::cli::addAnimCommand(app);
    tryster::cli::addDateCommand(app);
    tryster::cli::addCatalogCommand(app);
    tryster::cli::addRenderCommand(app);
    tryster::cli::addTownieCommand(app);
    tryster::cli::addCharacterCommand(app);
    tryster::cli::addDemoWorldCommand(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "tryster-cli: %s\n", e.what());
        return 1;
    } catch (const tryster::cli::CommandError& e) {
        std::fprintf(stderr, "tryster-cli: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tryster-cli: unexpected failure: %s\n", e.what());
        return 1;
    }
    return 0;
}
