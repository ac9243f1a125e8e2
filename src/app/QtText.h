#pragma once
// Text between the core's std::string and Qt's QString.

#include <QString>

#include <string_view>

namespace tryster::app {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tryster::app
