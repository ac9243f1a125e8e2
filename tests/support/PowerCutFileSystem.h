#pragma once
// Power cuts at every point of a write, simulated on the real files. The
// file system passes every call on, and records each change made below one
// folder with its bytes: a file made, written, cut, synced, moved or
// removed, a folder synced. Afterwards `forEachState` gives every state the
// disk may hold had the power failed after any of those changes:
// - bytes of a file not yet synced are there whole, lost (back to the
//   last synced ones: none for a new file) or cut short (half of them);
// - names made, moved or removed and not yet made durable by a sync of
//   their folder are kept in the order made up to any point (as a
//   journalling file system keeps them), or one alone is lost, with what
//   came after it on the same names.
// To stay bounded, the bytes of one file at a time are lost or cut short
// (or of all at once), and no point is taken between two writes to one
// file. A state maps the paths the run touched (below the folder, with
// '/') to their bytes, null for no file; every other file is as it was.

#include "support/PassThroughFileSystem.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tryster::test {

class PowerCutFileSystem final : public PassThroughFileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;
    using State = std::map<std::string, std::shared_ptr<const Bytes>>;

    explicit PowerCutFileSystem(const std::string& root) : root_(key(root)) {}

    std::size_t changes() const { return changes_.size(); }
    // The touched paths before the run touched them, and as they are now.
    State before() const {
        State s;
        for (const std::string& name : touched_)
            s[name] = initial_.count(name) ? files_[static_cast<std::size_t>(initial_.at(name))] : nullptr;
        return s;
    }
    State now() const {
        State s;
        for (const std::string& name : touched_) {
            std::ifstream in(full(name), std::ios::binary);
            s[name] = in ? std::make_shared<const Bytes>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())
                         : nullptr;
        }
        return s;
    }
    // Puts a state's paths on the disk, past the seam.
    void restore(const State& state) const {
        for (const auto& [name, bytes] : state) {
            std::error_code ignored;
            if (!bytes) {
                std::filesystem::remove(full(name), ignored);
            } else {
                std::filesystem::create_directories(std::filesystem::path(full(name)).parent_path());
                std::ofstream(full(name), std::ios::binary | std::ios::trunc)
                    .write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
            }
        }
    }

    // Calls `check` once for each distinct state of every crash point, with
    // `done` set after the last change (a writer that said it was done must
    // leave only the new state there); returns the number of crash points.
    std::size_t forEachState(const std::function<void(const State&, bool done)>& check) const;

    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        const std::string name = relative(path);
        if (name.empty() || mode == platform::OpenMode::Read) return real().open(path, mode);
        int file = known(name, path);
        auto inner = real().open(path, mode);
        if (!inner) return nullptr;
        if (mode != platform::OpenMode::ReadWrite && file >= 0) {
            changes_.push_back({Change::Truncate, file, {}, {}, 0, {}});
        } else if (mode != platform::OpenMode::ReadWrite) {
            files_.push_back(std::make_shared<const Bytes>());
            file = names_[name] = static_cast<int>(files_.size()) - 1;
            changes_.push_back({Change::Create, file, name, {}, 0, {}});
        }
        return std::make_unique<WatchedFile>(std::move(inner), *this, file);
    }
    bool rename(std::string_view from, std::string_view to) override {
        const std::string a = relative(from), b = relative(to);
        if (a.empty() || b.empty()) return real().rename(from, to);
        known(a, from);
        known(b, to);
        if (!real().rename(from, to)) return false;
        changes_.push_back({Change::Rename, names_.at(a), a, b, 0, {}});
        names_[b] = names_.at(a);
        names_.erase(a);
        return true;
    }
    bool remove(std::string_view path) override {
        const std::string name = relative(path);
        if (name.empty()) return real().remove(path);
        known(name, path);
        if (!real().remove(path)) return false;
        changes_.push_back({Change::Remove, -1, name, {}, 0, {}});
        names_.erase(name);
        return true;
    }
    bool syncFile(std::string_view path) override {
        if (!real().syncFile(path)) return false;
        if (const auto it = names_.find(relative(path)); it != names_.end())
            changes_.push_back({Change::Sync, it->second, {}, {}, 0, {}});
        return true;
    }
    bool syncFolder(std::string_view path) override {
        if (!real().syncFolder(path)) return false;
        const std::string folder = key(path);
        if (folder == root_ || folder.starts_with(root_ + "/"))
            changes_.push_back({Change::SyncFolder, -1, folder == root_ ? "" : folder.substr(root_.size() + 1), {}, 0, {}});
        return true;
    }

    // Paths compared by their absolute, normal form.
    static std::string key(std::string_view path) {
        std::filesystem::path p = platform::resolvePath(path);
        std::string k = std::filesystem::absolute(p.empty() ? "." : p).lexically_normal().string();
        while (k.size() > 1 && k.back() == '/') k.pop_back();
        return k;
    }

private:
    struct Change {
        enum Kind { Create, Write, Truncate, Sync, Rename, Remove, SyncFolder } kind;
        int file;
        std::string path, to;  // relative; the folder for SyncFolder
        std::uint64_t offset;  // Write: where; Truncate: the size
        Bytes bytes;           // Write
        bool writes() const { return kind == Write || kind == Truncate; }
        std::string folder() const {
            const std::string& p = kind == Rename ? to : path;
            return p.rfind('/') == std::string::npos ? std::string() : p.substr(0, p.rfind('/'));
        }
    };

    std::string full(const std::string& name) const { return root_ + "/" + name; }
    std::string relative(std::string_view path) const {
        const std::string k = key(path);
        return k.starts_with(root_ + "/") ? k.substr(root_.size() + 1) : std::string();
    }
    // The file under `name`, seen first: its bytes before the run touched
    // it. -1 when there is none.
    int known(const std::string& name, std::string_view path) {
        touched_.insert(name);
        if (const auto it = names_.find(name); it != names_.end()) return it->second;
        if (!real().exists(path) || real().isDirectory(path)) return -1;
        std::ifstream in(full(name), std::ios::binary);
        files_.push_back(std::make_shared<const Bytes>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        return names_[name] = initial_[name] = static_cast<int>(files_.size()) - 1;
    }

    class WatchedFile final : public platform::File {
    public:
        WatchedFile(std::unique_ptr<platform::File> inner, PowerCutFileSystem& fs, int file)
            : inner_(std::move(inner)), fs_(fs), file_(file) {}
        std::size_t read(void* buffer, std::size_t count) override { return inner_->read(buffer, count); }
        std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
            return inner_->readAt(offset, buffer, count);
        }
        std::size_t write(const void* buffer, std::size_t count) override {
            const std::uint64_t at = inner_->position().value_or(0);
            return note(at, buffer, inner_->write(buffer, count));
        }
        std::size_t writeAt(std::uint64_t offset, const void* buffer, std::size_t count) override {
            return note(offset, buffer, inner_->writeAt(offset, buffer, count));
        }
        bool truncate(std::uint64_t size) override {
            if (!inner_->truncate(size)) return false;
            fs_.changes_.push_back({Change::Truncate, file_, {}, {}, size, {}});
            return true;
        }
        bool seek(std::uint64_t offset) override { return inner_->seek(offset); }
        std::optional<std::uint64_t> position() override { return inner_->position(); }
        std::optional<std::uint64_t> size() override { return inner_->size(); }
        bool flush() override { return inner_->flush(); }
        bool isWritable() const override { return inner_->isWritable(); }

    private:
        std::size_t note(std::uint64_t at, const void* buffer, std::size_t written) {
            const auto* b = static_cast<const std::uint8_t*>(buffer);
            if (written) fs_.changes_.push_back({Change::Write, file_, {}, {}, at, Bytes(b, b + written)});
            return written;
        }
        std::unique_ptr<platform::File> inner_;
        PowerCutFileSystem& fs_;
        int file_;
    };

    std::string root_;
    std::vector<Change> changes_;
    std::vector<std::shared_ptr<const Bytes>> files_;  // as each was first seen
    std::map<std::string, int> names_, initial_;      // now, and before the run
    std::set<std::string> touched_;
};

inline std::size_t PowerCutFileSystem::forEachState(const std::function<void(const State&, bool)>& check) const {
    using Names = std::map<std::string, int>;
    // Each file's bytes as written so far, their latest copy (every copy is
    // kept, so an address names one content), and the bytes last synced.
    struct File {
        Bytes work;
        bool stale = false;
        std::shared_ptr<const Bytes> shot, synced;
    };
    std::vector<std::shared_ptr<const Bytes>> kept;
    const auto bytesOf = [&kept](File& f) {
        if (f.stale) kept.push_back(f.shot = std::make_shared<const Bytes>(f.work)), f.stale = false;
        return f.shot;
    };
    std::vector<File> files(files_.size());
    for (std::size_t i = 0; i < files_.size(); ++i) files[i] = {*files_[i], false, files_[i], files_[i]};
    const auto apply = [](Names& names, const Change& c) {
        if (c.kind == Change::Create) names[c.path] = c.file;
        if (c.kind == Change::Remove) names.erase(c.path);
        if (c.kind == Change::Rename && names.count(c.path)) names[c.to] = names[c.path], names.erase(c.path);
    };
    std::map<const Bytes*, std::shared_ptr<const Bytes>> halves;
    std::set<std::pair<std::vector<std::pair<std::string, const Bytes*>>, bool>> seen;
    static const Bytes kEmpty;
    // Every file whole; every unsynced one lost; then one unsynced file at a
    // time lost, and cut short.
    const auto emit = [&](const Names& names, bool done) {
        std::vector<int> unsynced;
        for (const auto& [name, file] : names)
            if (bytesOf(files[static_cast<std::size_t>(file)]) != files[static_cast<std::size_t>(file)].synced) unsynced.push_back(file);
        for (int variant = -2; variant < static_cast<int>(2 * unsynced.size()); ++variant) {
            State state;
            for (const std::string& name : touched_) state[name] = nullptr;
            for (const auto& [name, file] : names) {
                File& f = files[static_cast<std::size_t>(file)];
                const bool chosen = variant == -1 || (variant >= 0 && unsynced[static_cast<std::size_t>(variant / 2)] == file);
                if (chosen && variant % 2 == 1) {
                    const auto whole = bytesOf(f);
                    auto& half = halves[whole.get()];
                    if (!half) half = std::make_shared<const Bytes>(whole->begin(), whole->begin() + static_cast<std::ptrdiff_t>(whole->size() / 2));
                    state[name] = half;
                } else {
                    state[name] = chosen ? f.synced : bytesOf(f);
                }
            }
            std::vector<std::pair<std::string, const Bytes*>> key;
            for (const auto& [name, bytes] : state) key.emplace_back(name, bytes && bytes->empty() ? &kEmpty : bytes.get());
            if ((variant == -2 || !unsynced.empty()) && seen.insert({key, done}).second) check(state, done);
        }
    };
    Names durable = initial_;
    std::vector<const Change*> pending;  // name changes not yet made durable
    std::size_t points = 0;
    for (std::size_t at = 0; at <= changes_.size(); ++at) {
        if (at == 0 || at == changes_.size() || !changes_[at - 1].writes() || !changes_[at].writes() ||
            changes_[at - 1].file != changes_[at].file) {
            ++points;
            // The pending name changes kept in order up to each one, then
            // each one lost alone, with what came after it on its names.
            for (std::size_t cut = 0; cut < 2 * pending.size() + 1; ++cut) {
                Names names = durable;
                std::set<std::string> gone;
                for (std::size_t i = 0; i < pending.size(); ++i) {
                    const Change& c = *pending[i];
                    const bool lost = cut <= pending.size() ? i >= cut
                                                            : i == cut - pending.size() - 1 || gone.count(c.path) || gone.count(c.to);
                    if (!lost) apply(names, c);
                    else gone.insert(c.path), gone.insert(c.to.empty() ? c.path : c.to);
                }
                emit(names, at == changes_.size());
            }
        }
        if (at == changes_.size()) break;
        const Change& c = changes_[at];
        File* f = c.file >= 0 ? &files[static_cast<std::size_t>(c.file)] : nullptr;
        if (c.kind == Change::Write) {
            f->work.resize(std::max<std::size_t>(f->work.size(), c.offset + c.bytes.size()));
            std::copy(c.bytes.begin(), c.bytes.end(), f->work.begin() + static_cast<std::ptrdiff_t>(c.offset));
            f->stale = true;
        } else if (c.kind == Change::Truncate) {
            f->work.resize(c.offset);
            f->stale = true;
        } else if (c.kind == Change::Sync) {
            f->synced = bytesOf(*f);
        } else if (c.kind == Change::SyncFolder) {
            std::vector<const Change*> left;
            for (const Change* p : pending) {
                if (p->folder() == c.path) apply(durable, *p);
                else left.push_back(p);
            }
            pending = std::move(left);
        } else {
            pending.push_back(&c);
        }
    }
    return points;
}

}  // namespace tryster::test
