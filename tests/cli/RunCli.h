#pragma once
// Runs tryster-cli in-process: the arguments after the program's name,
// parsed by an application holding the given commands. Its JSON output is
// checked against the values a test expects, the rest left aside.

#include "cli/Commands.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

namespace tryster::test {

// The standard output, or "failed: " and the failure's message.
inline std::string runCli(std::initializer_list<void (*)(CLI::App&)> commands, std::vector<std::string> args) {
    CLI::App app;
    for (auto add : commands) add(app);
    args.insert(args.begin(), "tryster-cli");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    ::testing::internal::CaptureStdout();
    std::string failure;
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const std::exception& e) {
        failure = std::string("failed: ") + e.what();
    }
    const std::string out = ::testing::internal::GetCapturedStdout();
    return failure.empty() ? out : failure;
}

// How `document` differs from itself with the values of `expected` laid
// over it, as a JSON patch: empty when it holds them all.
inline nlohmann::json missingFrom(const nlohmann::json& document, const nlohmann::json& expected) {
    nlohmann::json wanted = document;
    wanted.merge_patch(expected);
    return nlohmann::json::diff(document, wanted);
}

}  // namespace tryster::test
