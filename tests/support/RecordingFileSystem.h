#pragma once
// The real files, with a log of every change in the order it was made, and
// the check that a run put its files on the disk as a crash-safe writer
// must: every file moved into place synced before its rename and its folder
// synced after it; every other file the run wrote and left (a backup)
// synced, and its folder, before the next rename.
// Install it with `platform::installFileSystem` (ScopedFileSystem).

#include "support/PassThroughFileSystem.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tryster::test {

class RecordingFileSystem final : public PassThroughFileSystem {
public:
    enum class Kind { Write, Sync, Rename, SyncFolder, Remove };
    struct Event {
        Kind kind;
        std::string path;  // as normalised by `key`
        std::string to;    // for Rename
    };
    std::vector<Event> events;

    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        auto inner = real().open(path, mode);
        if (!inner) return nullptr;
        const bool creates = mode == platform::OpenMode::CreateNew || mode == platform::OpenMode::CreateTruncate;
        if (creates) log(Kind::Write, path);
        return std::make_unique<RecordedFile>(std::move(inner), *this, key(path));
    }
    bool remove(std::string_view path) override {
        if (!real().remove(path)) return false;
        log(Kind::Remove, path);
        return true;
    }
    bool rename(std::string_view from, std::string_view to) override {
        if (!real().rename(from, to)) return false;
        events.push_back({Kind::Rename, key(from), key(to)});
        return true;
    }
    bool syncFile(std::string_view path) override {
        if (!real().syncFile(path)) return false;
        log(Kind::Sync, path);
        return true;
    }
    bool syncFolder(std::string_view path) override {
        if (!real().syncFolder(path)) return false;
        log(Kind::SyncFolder, path);
        return true;
    }

    int count(Kind kind) const {
        int n = 0;
        for (const Event& e : events) n += e.kind == kind;
        return n;
    }

    // What the run did wrong, one line each; empty when every file it put
    // in place, and every file it wrote and left, is on the disk.
    std::vector<std::string> undurable() const {
        std::vector<std::string> problems;
        for (std::size_t r = 0; r < events.size(); ++r) {
            if (events[r].kind != Kind::Rename) continue;
            const Event& move = events[r];
            if (!syncedAfterLastWrite(move.path, r))
                problems.push_back("renamed unsynced: " + move.path);
            if (find(Kind::SyncFolder, folderOf(move.to), r + 1, events.size()) == kNone)
                problems.push_back("folder not synced after the rename to " + move.to);
        }
        for (const std::string& path : leftWritten()) {
            const std::size_t last = lastWrite(path, events.size());
            std::size_t end = events.size();
            for (std::size_t i = last; i < events.size(); ++i)
                if (events[i].kind == Kind::Rename) {
                    end = i;
                    break;
                }
            const std::size_t synced = find(Kind::Sync, path, last, end);
            if (synced == kNone || find(Kind::SyncFolder, folderOf(path), synced, end) == kNone)
                problems.push_back("left on the disk unsynced: " + path);
        }
        return problems;
    }

    // Paths compared by their absolute, normal form.
    static std::string key(std::string_view path) {
        std::filesystem::path p = platform::resolvePath(path);
        if (p.empty()) p = ".";
        std::string k = std::filesystem::absolute(p).lexically_normal().string();
        while (k.size() > 1 && k.back() == '/') k.pop_back();
        return k;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static std::string folderOf(const std::string& path) {
        return std::filesystem::path(path).parent_path().string();
    }
    void log(Kind kind, std::string_view path) { events.push_back({kind, key(path), {}}); }

    std::size_t find(Kind kind, const std::string& path, std::size_t from, std::size_t end) const {
        for (std::size_t i = from; i < end; ++i)
            if (events[i].kind == kind && events[i].path == path) return i;
        return kNone;
    }
    std::size_t lastWrite(const std::string& path, std::size_t end) const {
        std::size_t last = 0;
        for (std::size_t i = 0; i < end; ++i)
            if (events[i].kind == Kind::Write && events[i].path == path) last = i;
        return last;
    }
    bool syncedAfterLastWrite(const std::string& path, std::size_t rename) const {
        return find(Kind::Sync, path, lastWrite(path, rename), rename) != kNone;
    }
    // Files written and still there at the end under the name they were
    // written by (not moved away, not removed).
    std::vector<std::string> leftWritten() const {
        std::vector<std::string> out;
        for (const Event& e : events) {
            if (e.kind == Kind::Write && std::find(out.begin(), out.end(), e.path) == out.end()) out.push_back(e.path);
            if (e.kind == Kind::Remove || e.kind == Kind::Rename)
                out.erase(std::remove(out.begin(), out.end(), e.path), out.end());
        }
        return out;
    }

    class RecordedFile final : public platform::File {
    public:
        RecordedFile(std::unique_ptr<platform::File> inner, RecordingFileSystem& fs, std::string path)
            : inner_(std::move(inner)), fs_(fs), path_(std::move(path)) {}
        std::size_t read(void* buffer, std::size_t count) override { return inner_->read(buffer, count); }
        std::size_t write(const void* buffer, std::size_t count) override {
            fs_.events.push_back({Kind::Write, path_, {}});
            return inner_->write(buffer, count);
        }
        std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
            return inner_->readAt(offset, buffer, count);
        }
        std::size_t writeAt(std::uint64_t offset, const void* buffer, std::size_t count) override {
            fs_.events.push_back({Kind::Write, path_, {}});
            return inner_->writeAt(offset, buffer, count);
        }
        bool seek(std::uint64_t offset) override { return inner_->seek(offset); }
        std::optional<std::uint64_t> position() override { return inner_->position(); }
        std::optional<std::uint64_t> size() override { return inner_->size(); }
        bool truncate(std::uint64_t size) override {
            fs_.events.push_back({Kind::Write, path_, {}});
            return inner_->truncate(size);
        }
        bool flush() override { return inner_->flush(); }
        bool isWritable() const override { return inner_->isWritable(); }

    private:
        std::unique_ptr<platform::File> inner_;
        RecordingFileSystem& fs_;
        std::string path_;
    };
};

}  // namespace tryster::test
