#include "exchange/TextLines.h"

namespace tryster::exchange {

bool TextLines::fill() {
    if (!file_) return false;
    pos_ = 0;
    end_ = file_->read(buffer_.data(), buffer_.size());
    return end_ > 0;
}

bool TextLines::next(std::string& line) {
    line.clear();
    bool any = false;
    while (line.size() < kMaxLineLength) {
        if (pos_ == end_ && !fill()) break;
        char c = buffer_[pos_++];
        any = true;
        if (c == '\n') break;
        line += c;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

}  // namespace tryster::exchange
