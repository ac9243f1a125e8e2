#pragma once
// Containers opened the way the commands open them: a file by what it
// holds, whatever its name ("User00001.iff.bak", or no extension at all),
// as version 2.x, else 1.0, as the program opens an ".iff".

#include "resfile/ContainerDamage.h"
#include "resfile/StdResFile.h"

#include <string>

namespace tryster::cli {

// Adds the opened file to `file` as its member; the 2.x answer when neither
// version opens (the one about the header).
resfile::ResError openByContent(resfile::StdResFile& file, const std::string& path, bool readOnly);

// The damage the open of `file`'s first member found (a directory has none).
resfile::ContainerDamage damageOf(resfile::StdResFile& file);

}  // namespace tryster::cli
