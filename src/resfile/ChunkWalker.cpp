#include "resfile/ChunkWalker.h"

#include <algorithm>
#include <span>

namespace tryster::resfile {

bool ChunkWalker::next(ChunkHeader& header) {
    const std::uint64_t h = chunks_.headerSize();
    const std::uint64_t fileSize = chunks_.flat().size();
    const std::uint64_t at = nextOffset_;
    using Kind = ContainerDamage::Kind;
    if (cutShort_) return stop(Kind::ChunkPastEnd, offset_, fileSize);
    if (at >= fileSize) return false;
    if (fileSize - at < h) return stop(Kind::HeaderCut, at, fileSize);
    if (at > 0xFFFFFFFFu) return stop(Kind::BadChunkHeader, at, fileSize);
    if (at < windowStart_ || at + h > windowStart_ + window_.size()) {
        // After a large chunk the next header is probably far again: read
        // just the header then.
        bool farApart = at - offset_ > kWindow / 4;
        auto length = static_cast<std::size_t>(std::min<std::uint64_t>(farApart ? h : kWindow, fileSize - at));
        window_.resize(length);
        if (chunks_.flat().readAt(at, window_.data(), length) != kNoError)
            return stop(Kind::BadChunkHeader, at, fileSize);
        windowStart_ = at;
    }
    // The window holds the whole header (it was refilled otherwise).
    if (!chunks_.decode(std::span<const std::uint8_t>(window_).subspan(at - windowStart_), header) ||
        !chunks_.validSize(header.size))
        return stop(Kind::BadChunkHeader, at, fileSize);
    offset_ = at;
    nextOffset_ = at + header.size;
    cutShort_ = header.size > fileSize - at;
    return true;
}

}  // namespace tryster::resfile
