#pragma once
// What a pack's files must hold before any of them is written: the date
// opens as a character container with its objects, catalog name and
// appearance strings (string list 200), every skin reads as its kind
// (character file, mesh, texture) with the readers the preview uses, the
// web exchange file is text and the snapshots decode as JPEG pictures (so a
// page can show the decoded pixels, and no other decoder meets them). All
// of it is read from memory.

#include "exchange/CharacterReading.h"
#include "share/Pack.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tryster::share {

// What a date file says of itself.
struct DateFacts {
    exchange::CharacterReading reading;  // name, age and gender texts, look
    std::string description;             // its catalog description, game text
    // The identifiers of its object definitions, in file order.
    std::vector<std::uint32_t> identifiers;
};

struct DateCheck {
    std::optional<DateFacts> facts;
    std::string problem;  // why the bytes are no date, when they are not
};

// Reads a date's bytes: a 2.x container whose resources all read, with at
// least one object definition long enough to hold its identifiers and a
// string list 200.
DateCheck checkDate(std::span<const std::uint8_t> bytes);

// Why the file does not read as its kind; empty when it does.
std::string fileProblem(const PackFile& file);

// The first problem of the pack's files (the date's first); empty when
// there is none. `facts` receives what the date says of itself.
std::string checkPackContents(const Pack& pack, DateFacts& facts);

}  // namespace tryster::share
