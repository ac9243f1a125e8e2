#pragma once
// The small dialogs keep their texts in fixed buffers: longer texts are
// cut at the limit, never written past it.

#include <QString>

namespace tryster::app {

inline constexpr qsizetype kMaxMessageCaption = 1023;
inline constexpr qsizetype kMaxMessageText = 1023;
inline constexpr qsizetype kMaxQuestionText = 2047;

// The first `limit` characters of `text`; a cut never splits a surrogate
// pair (the half is dropped).
inline QString cutToLimit(const QString& text, qsizetype limit) {
    if (text.size() <= limit) return text;
    QString cut = text.left(limit);
    if (!cut.isEmpty() && cut.back().isHighSurrogate()) cut.chop(1);
    return cut;
}

}  // namespace tryster::app
