#pragma once
// The save command after its file dialog: the web export file, the skin
// file list, the new date and the snapshots, in that order, with a progress
// report before each step. The wizard runs it inside its button press and
// asks about the exchange page afterwards; the command-line tool runs it
// alone.

#include "character/Character.h"
#include "exchange/ExchangeReporter.h"
#include "exchange/FilePlacement.h"
#include "exchange/PreviewSnapshots.h"
#include "exchange/SkinFileList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::exchange {

struct SaveRequest {
    std::string chosenPath;    // the ".srf" path the user chose
    std::string gameFolder;    // holds "GameData\Skins"
    // The game folder as the game knows it, for the skin list of the web
    // export file (GameFileNames.h); none: looked up.
    std::optional<std::string> gameFolderAsGameKnows;
    std::string templatePath;  // the start folder's template
};

struct SaveResult {
    bool webExchangeWritten = false;
    bool dateWritten = false;
    std::vector<std::string> filesWritten;
    // What the closing question adds (the placement's note): a sentence, or
    // empty.
    std::string closingNote;
};

// The chosen path without its extension: the last four characters when
// they are a dot and three more ("Bob.srf", "Bob.txt" give "Bob"), else
// from the file name's last dot, if it has one ("Bob.jpeg" gives "Bob",
// "Bob" stays). The name may come out empty (".srf"): the save refuses it.
std::string basePathOf(std::string_view chosenPath);

// Why the game could not use the date's name taken from `chosenPath`: a
// device name of its platform ("nul.srf", "CON.srf"). Empty when it can.
std::string chosenNameProblem(std::string_view chosenPath);

// Saves `character` as the request says. A chosen file name without a name
// before its extension writes nothing and says so (kNoFileNameMessage), and
// so does a device name (chosenNameProblem). Otherwise reports nine steps
// when everything succeeds. A failed step shows its message and the later
// steps still run. `skinFiles` is the list the caller keeps between saves;
// `snapshots` may be null (no preview).
//
// Every file is built under a staged name and, once all steps have run,
// what was built is put in place together by `placement`, which keeps
// what it replaces (an earlier date, web export file or snapshot of the
// same name) as a backup; a snapshot that could not be taken takes an
// earlier one of the same name away with it, as it would show another
// look. A failed web export file shows "Could not write the web export
// file." and keeps an earlier one.
SaveResult runSaveSequence(const SaveRequest& request, const Character& character, SkinFileList& skinFiles,
                           ExchangeReporter& reporter, PreviewSnapshots* snapshots, FilePlacement& placement);

// The files a save of `chosenPath` writes: the web export file, the date
// and its two snapshots (local paths).
std::vector<std::string> savedFilesOf(std::string_view chosenPath);

}  // namespace tryster::exchange
