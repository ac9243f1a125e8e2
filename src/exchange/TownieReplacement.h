#pragma once
// Replacing a townie with a date: the townie's file takes a copy of the
// date's (a template copy whose objects are named after the townie's file
// and get fresh identifiers), except that its first object definition
// keeps the townie's identifier, by which the neighbourhood knows it.
//
// The copy is built and marked under a staged name beside the townie; the
// placement keeps a backup of the townie (see FileBackup.h) and only then
// moves the copy over it in one step. Whatever fails, the townie's file is
// left as it was and nothing is left beside it.

#include "exchange/ExchangeReporter.h"
#include "exchange/FilePlacement.h"
#include "resfile/ResError.h"

#include <string>
#include <string_view>

namespace tryster::exchange {

struct ReplaceResult {
    enum class Status {
        Replaced,
        TownieUnreadable,  // the townie's file is no container
        NoTownieObject,    // it has no 'OBJD', or one too short for the identifier
        NotCopied,         // the date could not be copied
        NotMarked,         // the copy could not be given the townie's identity
        NotPlaced          // the placement could not begin, or put the copy in place
    };
    Status status = Status::Replaced;
    resfile::ResError error = resfile::kNoError;  // of the step that failed, where it has one
    std::string backupPath;                        // set when replaced
    std::string problem;                           // NotPlaced: the placement's sentence

    bool replaced() const { return status == Status::Replaced; }
};

// A short account of a failure ("the townie has no object definition").
std::string_view describe(ReplaceResult::Status status);
// The same as a sentence for the failure's message ("What failed: the date
// could not be copied."); empty when the townie was replaced.
std::string failureDetail(const ReplaceResult& result);

// "Rosa Marsh has taken the place of the Townie in User00001.iff."
std::string replacedText(std::string_view dateName, std::string_view townieFile);

// Replaces the townie at `towniePath` with a copy of the date at
// `datePath`. A failure shows "Could not replace this Plom. The Townie was
// left as it was." (caption "Tryster Error:"), with the placement's reason
// where it gave one; success shows replacedText (caption "Replace
// Complete") and the placement's closing note, so the player knows the
// change happened and how to take it back.
ReplaceResult replaceTownie(std::string_view towniePath, std::string_view datePath, ExchangeReporter& reporter,
                            FilePlacement& placement);

}  // namespace tryster::exchange
