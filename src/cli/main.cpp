// tryster-cli: the command-line tool over the same core as the program, for
// modders, scripts and our own checks.

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <exception>

namespace {

// A command run with --json gets its failure as {"error": {...}} on standard
// output too, so a script reading the output learns what went wrong; a
// command that printed its document already put the error in it.
void printJsonError(bool json, const nlohmann::ordered_json& error) {
    if (json && !tryster::cli::jsonPrinted()) tryster::cli::printJson(nlohmann::ordered_json{{"error", error}});
}

// Help asked for with --json: the text goes to the error stream, where a
// person sees it, and the one document carries it for a script.
int showHelp(const CLI::App& app, const CLI::Error& e, bool json) {
    if (!json) return app.exit(e);
    std::ostringstream text;
    const int status = app.exit(e, text, text);
    std::fputs(text.str().c_str(), stderr);
    tryster::cli::printJson(nlohmann::ordered_json{{"help", text.str()}});
    return status;
}

nlohmann::ordered_json messageOnly(const char* message) {
    return tryster::cli::CommandError(message).json();
}

}  // namespace

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
    tryster::cli::addHistoryCommand(app);

    bool json = false;
    for (int i = 1; i < argc; ++i) json = json || std::strcmp(argv[i], "--json") == 0;

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return showHelp(app, e, json);
    } catch (const CLI::CallForAllHelp& e) {
        return showHelp(app, e, json);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "tryster-cli: %s\n", e.what());
        printJsonError(json, messageOnly(e.what()));
        return 1;
    } catch (const tryster::cli::CommandError& e) {
        std::fprintf(stderr, "tryster-cli: %s\n", e.what());
        if (!e.inOutput) printJsonError(json, e.json());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tryster-cli: unexpected failure: %s\n", e.what());
        printJsonError(json, messageOnly(e.what()));
        return 1;
    }
    return 0;
}
