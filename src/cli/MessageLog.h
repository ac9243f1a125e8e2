#pragma once
// The exporters' messages kept for the command to print or to turn into its
// failure; progress is not shown.

#include "exchange/ExchangeReporter.h"

#include <string>
#include <vector>

namespace tryster::cli {

class MessageLog final : public exchange::ExchangeReporter {
public:
    struct Message {
        std::string caption;
        std::string text;
    };

    void showMessage(std::string_view caption, std::string_view text) override {
        messages_.push_back({std::string(caption), std::string(text)});
    }
    void showStatus(std::string_view) override {}
    void stepProgress() override {}
    void redrawPreview() override {}

    const std::vector<Message>& messages() const { return messages_; }
    // The text of the last message; empty when there was none.
    std::string lastText() const { return messages_.empty() ? std::string() : messages_.back().text; }

private:
    std::vector<Message> messages_;
};

}  // namespace tryster::cli
