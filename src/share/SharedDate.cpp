#include "share/SharedDate.h"

#include "share/PackReader.h"

namespace tryster::share {

SharedDateOpening openSharedDate(std::string_view archivePath) {
    SharedDateOpening out;
    PackReading reading = readPackArchive(archivePath);
    if (!reading.pack) {
        out.problem = std::move(reading.problem);
        return out;
    }
    SharedDate date;
    date.archivePath = archivePath;
    date.pack = std::move(*reading.pack);
    out.problem = checkPackContents(date.pack, date.facts);
    if (out.problem.empty()) out.date = std::move(date);
    return out;
}

}  // namespace tryster::share
