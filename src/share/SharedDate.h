#pragma once
// A shared date opened for installing: its pack read and every file checked
// (PackReader.h, PackContents.h), nothing written anywhere. This is what the
// player is shown before deciding: what the date file says of itself (the
// truth), the manifest (its sender's claims), the snapshots and the skins as
// bytes (for the preview).

#include "share/Pack.h"
#include "share/PackContents.h"

#include <optional>
#include <string>
#include <string_view>

namespace tryster::share {

struct SharedDate {
    std::string archivePath;
    Pack pack;
    DateFacts facts;
};

struct SharedDateOpening {
    std::optional<SharedDate> date;
    std::string problem;  // why the pack was refused: a sentence without a closing full stop
};

SharedDateOpening openSharedDate(std::string_view archivePath);

}  // namespace tryster::share
