#include "resfile/SeqResFile.h"

#include "platform/FileSystem.h"
#include "resfile/IFFResFile.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ResolveResFile.h"

#include <algorithm>

namespace tryster::resfile {

SeqResFile::~SeqResFile() {
    if (CountMembers() != 0) (void)Close();  // a destructor has no one to tell
}

bool SeqResFile::AddRule(int kind, std::string_view extension) {
    if (static_cast<int>(rules_.size()) >= kMaxRules || kind < 0 || kind > kKindResolve ||
        extension.size() > kMaxExtensionLength)
        return false;
    rules_.push_back(Rule{kind, std::string(extension)});
    return true;
}

void SeqResFile::ClearRules() { rules_.clear(); }

bool SeqResFile::PathForRule(std::string_view path, std::string_view extension, std::string& out) {
    if (extension.size() < 2 || extension[0] != '.') return false;
    std::size_t nameStart = path.find_last_of("\\/:");
    nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
    std::size_t dot = path.rfind('.');
    bool hasExtension = dot != std::string_view::npos && dot >= nameStart;
    std::string_view base = hasExtension ? path.substr(0, dot) : path;
    if (base.size() <= nameStart) return false;
    if (hasExtension) {
        if (!platform::equalsNoCase(path.substr(dot), extension)) return false;
        out = path;
    } else {
        out = std::string(base) + std::string(extension);
    }
    return true;
}

std::unique_ptr<iResFile> SeqResFile::makeFile(int kind) const {
    switch (kind) {
    case kKindContainer10: {
        auto file = std::make_unique<IFFResFile>();
        file->setOpenReadOnly(readOnly_);
        return file;
    }
    case kKindContainer2: {
        auto file = std::make_unique<IFFResFile2>();
        file->setOpenReadOnly(readOnly_);
        return file;
    }
    case kKindResolve:
        return std::make_unique<ResolveResFile>();
    default:
        return nullptr;
    }
}

std::unique_ptr<iResFile> SeqResFile::fileFor(const Rule& rule, std::string_view path, std::string& rulePath,
                                              ResError& notApplying) const {
    std::unique_ptr<iResFile> file = makeFile(rule.kind);
    if (!file) return nullptr;
    if (!PathForRule(path, rule.extension, rulePath)) {
        notApplying = kNoRuleApplies;
        return nullptr;
    }
    return file;
}

ResError SeqResFile::Open(std::string_view path) {
    if (CountMembers() != 0) (void)Close();  // what was open before; its error is not this open's
    std::string given(path);
    ResError last = kNoRuleApplies;
    bool opened = false;
    for (const Rule& rule : rules_) {
        std::string rulePath;
        std::unique_ptr<iResFile> file = fileFor(rule, given, rulePath, last);
        if (!file) continue;
        ResError error = file->Open(rulePath);
        if (error != kNoError) last = error;
        else if (AddMember(std::move(file))) opened = true;
    }
    return setError(opened ? kNoError : last);
}

ResError SeqResFile::Create(std::string_view path) {
    std::string given(path);
    std::vector<std::string> created;
    ResError last = kNoRuleApplies;
    for (const Rule& rule : rules_) {
        if (std::any_of(created.begin(), created.end(),
                        [&](const std::string& e) { return platform::equalsNoCase(e, rule.extension); }))
            continue;
        std::string rulePath;
        std::unique_ptr<iResFile> file = fileFor(rule, given, rulePath, last);
        if (!file) continue;
        ResError error = file->Create(rulePath);
        if (error == kFileExists) return setError(kFileExists);
        if (error == kNoError) created.push_back(rule.extension);
        else last = error;
    }
    return setError(created.empty() ? last : kNoError);
}

// A rule that does not apply leaves the error of the rules before it.
ResError SeqResFile::Delete(std::string_view path) {
    std::string given(path);
    ResError last = kNoRuleApplies;
    bool deleted = false;
    for (const Rule& rule : rules_) {
        std::string rulePath;
        ResError ignored = kNoError;
        std::unique_ptr<iResFile> file = fileFor(rule, given, rulePath, ignored);
        if (!file) continue;
        ResError error = file->Delete(rulePath);
        if (error == kNoError) deleted = true;
        else last = error;
    }
    return setError(deleted ? kNoError : last);
}

ResError SeqResFile::Close() {
    if (CountMembers() == 0) return setError(kNotOpen);
    ResError error = ChainResFile::Close();
    destroyMembers();
    return setError(error);
}

ResError SeqResFile::GetFileName(std::string& out) {
    iResFile* first = GetMember(0);
    if (!first) return setError(kNotOpen);
    std::string path;
    if (ResError error = first->GetFileName(path); error != kNoError) return setError(error);
    std::size_t nameStart = path.find_last_of("\\/:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) path.resize(dot);
    out = path;
    return setError(kNoError);
}

}  // namespace tryster::resfile
