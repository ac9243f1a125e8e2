#include "exchange/FileBackup.h"

namespace tryster::exchange {

std::string backupPath(std::string_view path, int number) {
    std::string out(path);
    if (number > 1) out += "." + std::to_string(number);
    out += ".bak";
    return out;
}

}  // namespace tryster::exchange
