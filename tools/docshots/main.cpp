// tryster-docshots: the guide's pictures of the real window.
//
//   tryster-docshots [--work DIR] OUTPUT_FOLDER   writes every picture
//   tryster-docshots --list                       names them, one a line
//   tryster-docshots --figures [--work DIR] OUTPUT_FOLDER
//                     pictures of every look and animation of the demo
//                     figures instead, for looking at (see FigureSheets)
//
// It makes a demo game folder and a start folder with the template in the
// work folder, points a registry file at the game, and walks the window
// under Qt's offscreen platform (see GuideTour). Everything the pictures
// show is fixed here: the clock, the time zone and language, the home
// folder the file dialogs name, the files' dates, the widget style. So the
// same build writes the same bytes, and `make docs` changes a picture only
// when the window changed.
//
// The work folder (by default /tmp/tryster-guide, the path the file
// dialogs show) is emptied first; a folder that
// this program did not make is refused.

#include "FigureSheets.h"
#include "GuideTour.h"

#include "app/CTrysterApp.h"
#include "app/ProgramResources.h"
#include "demoworld/DemoWorld.h"
#include "demoworld/GameContainers.h"
#include "formats/ImageLibrary.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kMarker = ".tryster-docshots";
// The date every file of the demo folder shows in the file dialogs.
constexpr std::chrono::seconds kFileDate{1'796'000'000};

int usage() {
    std::fprintf(stderr, "usage: tryster-docshots [--figures] [--work DIR] OUTPUT_FOLDER | --list\n");
    return 2;
}

bool prepareWorkFolder(const fs::path& work) {
    std::error_code ec;
    if (fs::exists(work, ec)) {
        if (!fs::exists(work / kMarker, ec)) {
            std::fprintf(stderr, "tryster-docshots: %s exists and is not a work folder of ours\n",
                         work.c_str());
            return false;
        }
        fs::remove_all(work, ec);
    }
    if (!fs::create_directories(work, ec)) {
        std::fprintf(stderr, "tryster-docshots: cannot make %s\n", work.c_str());
        return false;
    }
    std::ofstream(work / kMarker) << "made by tryster-docshots; emptied at its next run\n";
    return true;
}

// What the pictures must not take from the machine, set before Qt reads it.
void fixEnvironment(const fs::path& home, const fs::path& registry) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("LANG", "C.UTF-8", 1);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("TRYSTER_REGISTRY", registry.c_str(), 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "WINEPREFIX",
                             "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_STYLE_OVERRIDE"})
        ::unsetenv(name);
}

void fixFileDates(const fs::path& folder) {
    const auto date = std::chrono::file_clock::from_sys(std::chrono::sys_seconds(kFileDate));
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder, ec))
        fs::last_write_time(entry.path(), date, ec);
    fs::last_write_time(folder, date, ec);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tryster;

    // Not $TMPDIR: the path shows in the file dialogs' pictures.
    fs::path work = "/tmp/tryster-guide";
    std::string output;
    bool figures = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--list") {
            for (const docshots::Picture& picture : docshots::kPictures)
                std::printf("%s\t%s\n", picture.file, picture.shows);
            return 0;
        }
        if (arg == "--figures") {
            figures = true;
        } else if (arg == "--work" && i + 1 < argc) {
            work = fs::absolute(argv[++i]);
        } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
            output = fs::absolute(arg).string();
        } else {
            return usage();
        }
    }
    if (output.empty()) return usage();
    if (!prepareWorkFolder(work)) return 1;

    const fs::path home = work / "player";
    const fs::path game = home / "Games" / "The Ploms";
    const fs::path start = work / "tryster";
    const fs::path registry = work / "registry.ini";
    fixEnvironment(home, registry);

    std::string error;
    fs::create_directories(start);
    if (!demoworld::writeDemoWorld(game.string(), error) ||
        !demoworld::writeTemplateFile((start / "TR_Template.iff").string(), error)) {
        std::fprintf(stderr, "tryster-docshots: %s\n", error.c_str());
        return 1;
    }
    fixFileDates(game);
    std::ofstream(registry) << "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" << game.string()
                            << "\n";

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tryster"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // A steady text cursor: a blinking one would be caught on or off by
    // the walk's timing.
    QApplication::setCursorFlashTime(0);
    app::initProgramResources();
    app::CTrysterApp::applyDialogColours();
    if (!QDir().mkpath(QString::fromStdString(output))) {
        std::fprintf(stderr, "tryster-docshots: cannot make %s\n", output.c_str());
        return 1;
    }
    if (!platform::fileSystem().setCurrentDirectory(start.string())) return 1;

    // The program holds the snapshot writer for its whole run; so does the
    // walk, whose save writes them.
    const formats::ImageLibrarySession images;
    if (figures) return docshots::writeFigureSheets(game.string(), output) ? 0 : 1;
    platform::FixedClock clock{20'000'000, 1'796'000'000};
    platform::installClockSource(&clock);
    bool done = false;
    {
        docshots::GuideTour tour(start.string(), game.string(), QString::fromStdString(output), clock);
        done = tour.run();
    }
    platform::installClockSource(nullptr);
    if (done) std::printf("tryster-docshots: %zu pictures in %s\n", docshots::kPictures.size(), output.c_str());
    return done ? 0 : 1;
}
