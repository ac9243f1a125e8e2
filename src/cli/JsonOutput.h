#pragma once
// The JSON document a command run with --json prints on standard output.
// Scripts parse it, so it is a contract: one document, whatever happens.
// Every command prints its document through printJson, which
// - makes every text in it, keys too, valid UTF-8: bytes of a file name
//   that are not UTF-8 become "\xNN", so an odd name never ends the command
//   before its answer is out (game text is the command's to convert, with
//   utf8());
// - notes that the document is out, so that main() never prints a second
//   one for a failure that follows: the command has put it in its own.

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tryster::cli {

namespace detail {
std::string validJsonText(std::string_view text);
void writeDocument(const std::string& text);
}  // namespace detail

// Whether this run has printed its document.
bool jsonPrinted();

template <class Json>
void makeTextValid(Json& value) {
    if (value.is_string()) {
        auto& text = value.template get_ref<typename Json::string_t&>();
        text = detail::validJsonText(text);
    } else if (value.is_array()) {
        for (Json& item : value) makeTextValid(item);
    } else if (value.is_object()) {
        Json valid = Json::object();
        for (auto it = value.begin(); it != value.end(); ++it) {
            makeTextValid(it.value());
            valid[detail::validJsonText(it.key())] = std::move(it.value());
        }
        value = std::move(valid);
    }
}

// Prints `document`, indented by two spaces, and a line break.
template <class Json>
void printJson(Json document) {
    makeTextValid(document);
    detail::writeDocument(document.dump(2, ' ', false, Json::error_handler_t::replace));
}

}  // namespace tryster::cli
