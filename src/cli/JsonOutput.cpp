#include "cli/JsonOutput.h"

#include "platform/GameText.h"

#include <cstdio>

namespace tryster::cli {
namespace {

bool printed = false;

}  // namespace

namespace detail {

std::string validJsonText(std::string_view text) { return platform::escapedUtf8(text); }

void writeDocument(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    printed = true;
}

}  // namespace detail

bool jsonPrinted() { return printed; }

}  // namespace tryster::cli
