#include "cli/CommandError.h"

#include "cli/TextOutput.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <cstdio>

namespace tryster::cli {

CommandError::CommandError(const std::string& message) : std::runtime_error(message) {}

CommandError::CommandError(resfile::FileProblem problem)
    : std::runtime_error(problem.text()), problem_(std::move(problem)) {}

nlohmann::ordered_json problemJson(const resfile::FileProblem& p) {
    nlohmann::ordered_json out;
    out["message"] = systemText(p.text());
    out["file"] = systemText(p.file);
    out["expected"] = systemText(p.expected);
    out["found"] = systemText(p.found);
    out["code"] = p.code == resfile::kNoError ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(p.code.code());
    out["codeName"] =
        p.code == resfile::kNoError ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(resfile::errorName(p.code));
    return out;
}

nlohmann::ordered_json CommandError::json() const {
    if (problem_) return problemJson(*problem_);
    nlohmann::ordered_json out;
    out["message"] = systemText(what());
    for (const char* key : {"file", "expected", "found", "code", "codeName"}) out[key] = nullptr;
    return out;
}

void printWarning(const resfile::FileProblem& problem) {
    fmt::print(stderr, "tryster-cli: warning: {}\n", problem.text());
}

}  // namespace tryster::cli
