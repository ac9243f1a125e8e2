// The game folder's history lies in a folder anyone can write, and undoing
// removes and restores the files it names. A history that is accepted must
// name only files its changes may write, backups named after their files
// and digests of 64 hexadecimal digits, and must read back as itself once
// written again; one that is refused must say why.
#include "share/History.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace tryster::share;

namespace {

bool isHexDigest(std::string_view text) {
    if (text.size() != 64) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HistoryReading reading = decodeHistory(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!reading.history) {
        if (reading.problem.empty()) __builtin_trap();
        return 0;
    }
    const History& history = *reading.history;
    for (const HistoryEntry& entry : history.entries) {
        if (entry.id <= 0 || entry.id >= history.nextId) __builtin_trap();
        for (const ChangedFile& f : entry.files) {
            if (!isPathOfKind(entry.kind, f.path)) __builtin_trap();
            if (!f.backup.empty() && (!isBackupName(f.backup, f.path) || !isHexDigest(f.replacedSha256)))
                __builtin_trap();
            if (!f.sha256.empty() && !isHexDigest(f.sha256)) __builtin_trap();
        }
    }
    const std::string again = encodeHistory(history);
    const HistoryReading reread = decodeHistory(again);
    if (!reread.history || encodeHistory(*reread.history) != again) __builtin_trap();
    return 0;
}
