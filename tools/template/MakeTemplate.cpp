// tryster-make-template FILE: writes the program's template character
// file (the copy every new date starts from). Run at build time into the
// build's data folder, and installed from there.

#include "demoworld/GameContainers.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tryster-make-template FILE\n");
        return 2;
    }
    std::string error;
    if (!tryster::demoworld::writeTemplateFile(argv[1], error)) {
        std::fprintf(stderr, "tryster-make-template: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
