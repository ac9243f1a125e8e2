#pragma once
// Saving a new look back into a loaded character file: its appearance
// strings are rewritten and its pictures removed exactly as for a new date;
// nothing else of the file changes.
//
// The changed file is built under a staged name beside the character; the
// placement keeps a backup of the character (see FileBackup.h) and then
// moves the changed file over it in one step, so an interrupted save
// leaves the old file whole.

#include "character/Character.h"
#include "exchange/ExchangeReporter.h"
#include "exchange/FilePlacement.h"
#include "resfile/ResError.h"

#include <string>
#include <string_view>

namespace tryster::exchange {

struct SaveBackResult {
    enum class Status {
        Saved,
        Refused,     // a texture name is empty; the file was not opened
        NotWritten,  // the file could not be copied or rewritten
        NotPlaced    // the placement could not begin, or put the file in place
    };
    Status status = Status::Saved;
    resfile::ResError error = resfile::kNoError;  // of the rewrite, where it failed
    std::string backupPath;                        // set when saved
    std::string problem;                           // NotPlaced: the placement's sentence

    bool saved() const { return status == Status::Saved; }
};

// "Bob has been saved to the game. The next time you see Bob this is what
// they will look like."
std::string saveCompleteText(std::string_view name);

// What a failed write did not do, as a sentence for its message ("What
// failed: no backup of the character could be written."); empty when the
// file was saved or the save refused (its message says why).
std::string failureDetail(const SaveBackResult& result);

// Writes the look of `character` into the character file at `path`.
// `loadedName` is the name the load read, for the closing message.
//
// Messages: with an empty body or head texture name, "You must choose
// valid textures to save." (caption "Save Error"); on success "Save
// Complete" with `saveCompleteText` and the placement's closing note, also
// when the file has no string list 200 (only its pictures are then
// removed); on a failure to write, "Could not save this Plom back to the
// game. The file was left as it was." (caption "Save Error"), with the
// placement's reason where it gave one.
SaveBackResult saveBack(std::string_view path, std::string_view loadedName, const Character& character,
                        ExchangeReporter& reporter, FilePlacement& placement);

}  // namespace tryster::exchange
