#pragma once
// A file built under a temporary name beside its target and moved into
// place in one step when it is complete, so that a failure part-way leaves
// neither a half-written file nor a damaged earlier one at the target.

#include <string>
#include <string_view>

namespace tryster::exchange {

class StagedFile {
public:
    // The staged name: the target's name followed by this suffix. The game
    // looks only at its own extensions, so it never picks up a staged file.
    static constexpr std::string_view kSuffix = ".tryster-new";

    // `suffix` for a caller that must open the staged file by the
    // extension it gives (at most 7 characters for a combined file's rule).
    explicit StagedFile(std::string_view target, std::string_view suffix = kSuffix);
    // Removes the staged file unless it was committed.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::string& path() const { return staged_; }
    const std::string& target() const { return target_; }

    // Moves the staged file over the target (replacing it); false, and the
    // staged file removed, when that fails.
    [[nodiscard]] bool commit();
    // Removes the staged file (also what an interrupted run left there).
    void discard();

private:
    std::string target_;
    std::string staged_;
    bool committed_ = false;
};

}  // namespace tryster::exchange
