#pragma once
// A combined file opened by base path: each extension rule names a file
// kind and an extension, and every file of the base path that a rule
// accepts becomes a member, in rule order.
//
// A rule applies when its extension (at most 7 characters, starting with
// '.') matches the path's extension (letters compared without regard to
// case), or is appended to a path without extension; never to an empty
// base.

#include "resfile/ChainResFile.h"

#include <string>

namespace tryster::resfile {

class SeqResFile : public ChainResFile {
public:
    static constexpr int kMaxRules = 16;
    static constexpr std::size_t kMaxExtensionLength = 7;
    // File kinds of the rules; any other kind is skipped.
    static constexpr int kKindContainer10 = 1;
    static constexpr int kKindContainer2 = 2;
    static constexpr int kKindResolve = 3;

    SeqResFile() = default;
    ~SeqResFile() override;

    // Appends a rule when fewer than 16 exist, the kind is 0-3 and the
    // extension fits; false otherwise.
    bool AddRule(int kind, std::string_view extension);
    void ClearRules();

    // Creates the file of each rule (one per extension); stops at the first
    // kFileExists so no existing file is overwritten. The files stay closed.
    ResError Create(std::string_view path) override;
    ResError Delete(std::string_view path) override;
    // Closes, then opens every rule's file that exists; 0 when at least one
    // opened, else the last error (kNoRuleApplies when no rule applied).
    ResError Open(std::string_view path) override;
    // Closes every member and destroys them.
    ResError Close() override;
    // The first member's path without its extension.
    ResError GetFileName(std::string& out) override;

    // Members of the container kinds are opened read-only.
    void setOpenReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // The path a rule's extension gives for `path`; false when it does not
    // apply.
    static bool PathForRule(std::string_view path, std::string_view extension, std::string& out);

private:
    struct Rule {
        int kind;
        std::string extension;
    };
    std::unique_ptr<iResFile> makeFile(int kind) const;
    // A new file of the rule's kind and the rule's path for `path`; null
    // for a kind that is skipped, or (setting `notApplying`) a rule that
    // does not apply.
    std::unique_ptr<iResFile> fileFor(const Rule& rule, std::string_view path, std::string& rulePath,
                                      ResError& notApplying) const;

    std::vector<Rule> rules_;
    bool readOnly_ = false;
};

}  // namespace tryster::resfile
