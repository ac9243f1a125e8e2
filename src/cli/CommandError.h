#pragma once
// A failure the command reports to the user: main() prints the message as
// one line on standard error and exits with 1. A command run with --json
// also gets the failure as an "error" object on standard output: in a
// document of its own, or inside the command's document when the command
// put it there (`inOutput`).

#include "resfile/FileProblem.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <stdexcept>
#include <string>

namespace tryster::cli {

class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message);
    // A file that is not what the command needs, in plain words.
    explicit CommandError(resfile::FileProblem problem);

    const std::optional<resfile::FileProblem>& problem() const { return problem_; }
    // {"message", "file", "expected", "found", "code", "codeName"}; the
    // fields a plain message lacks are null.
    nlohmann::ordered_json json() const;

    // The command's JSON document already holds this error.
    bool inOutput = false;

private:
    std::optional<resfile::FileProblem> problem_;
};

// The "error" object of a file problem (see CommandError::json).
nlohmann::ordered_json problemJson(const resfile::FileProblem& problem);

// A problem that does not stop the command (a damaged file read as far as
// it goes): "tryster-cli: warning: " and its text on standard error.
void printWarning(const resfile::FileProblem& problem);

}  // namespace tryster::cli
