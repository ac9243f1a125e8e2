// The demo game folder as the program reads it: written the same every
// time and within its budget, its textures and meshes readable by the
// program's own readers, and its dates fit to stand in for a townie.

#include "DemoFolder.h"
#include "render/Scene.h"

#include "anim/AnimationPlayback.h"
#include "anim/CharacterLibrary.h"
#include "demoworld/GameContainers.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "formats/ImageDecoder.h"
#include "platform/FileFinder.h"
#include "platform/PathPattern.h"
#include "share/GameChange.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace tryster {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> readTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            files[fs::relative(e.path(), root).generic_string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    return files;
}

TEST(DemoWorldFolder, IsTheSameEveryRunAndWithinItsBudget) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(demoworld::writeDemoWorld(dir.file("again"), error)) << error;
    const auto first = readTree(test::demoFolder()), second = readTree(dir.file("again"));
    EXPECT_TRUE(first == second) << "the same files, byte for byte";
    std::uintmax_t total = 0;
    for (const auto& [path, bytes] : first) total += bytes.size();
    EXPECT_LT(total, 10u * 1024 * 1024);
    EXPECT_FALSE(fs::exists(dir.file("again.partial")));
}

TEST(DemoWorldFolder, LeavesAFolderThatHoldsFilesAsItWas) {
    test::TempDir dir;
    dir.write("mine/keep.txt", "mine");
    std::string error;
    EXPECT_FALSE(demoworld::writeDemoWorld(dir.file("mine"), error));
    EXPECT_NE(error.find("not an empty folder"), std::string::npos) << error;
    EXPECT_EQ(readTree(dir.file("mine")).size(), 1u);
    EXPECT_EQ(dir.read("mine/keep.txt"), "mine");
    // An empty folder is filled.
    fs::create_directory(dir.file("empty"));
    EXPECT_TRUE(demoworld::writeDemoWorld(dir.file("empty"), error)) << error;
    EXPECT_TRUE(fs::exists(dir.file("empty/GameData")));
}

class DemoLibrary : public ::testing::Test {
protected:
    DemoLibrary() : scene(64, 64) {
        render::Device3D::setCurrent(scene.device.get());
        library = std::make_unique<anim::CharacterLibrary>();
        library->loadCharacterFiles(anim::kCharacterSearchPath);
        library->readIndexFiles(anim::kAnimationSearchPath);
    }
    ~DemoLibrary() override {
        library.reset();
        render::Device3D::setCurrent(nullptr);
    }

    test::InDemoFolder in;
    test::Scene scene;
    std::unique_ptr<anim::CharacterLibrary> library;
};

TEST_F(DemoLibrary, EveryTextureDecodesAndEveryMeshFindsItsOwn) {
    std::set<int> depths;
    for (const auto& f : platform::FileFinder::instance().enumerateType("BMP", anim::kCharacterSearchPath)) {
        auto bytes = platform::readWholeFile(f.path);
        ASSERT_TRUE(bytes);
        formats::DecodedImage image;
        EXPECT_TRUE(formats::decodeBmp(*bytes, image)) << f.path;
        depths.insert((*bytes)[28]);
    }
    EXPECT_EQ(depths, (std::set<int>{8, 24}));
    for (const auto& e : library->outfits())
        for (const auto& part : e.object->parts) {
            auto mesh = library->findMesh(part.meshName, e.searchPath);
            ASSERT_TRUE(mesh) << part.meshName;
            EXPECT_TRUE(platform::FileFinder::instance().find(mesh->textureName, "BMP",
                                                              "GameData\\Textures;GameData\\Textures2;GameData\\Skins;"
                                                              "GameData\\Animations;ExpansionPack3\\Skins"))
                << mesh->textureName;
        }
}

class DemoCharacterFiles : public ::testing::Test {
protected:
    DemoCharacterFiles() {
        std::string error;
        EXPECT_TRUE(demoworld::writeTemplateFile(templatePath, error)) << error;
    }
    test::TempDir dir;
    std::string templatePath = dir.file("TR_Template.iff");
    test::InDemoFolder in;
};

// The dates are the size the game's are: a townie replaced by one of them,
// or by a date made from the program's template, is still a townie.
TEST_F(DemoCharacterFiles, ATownieReplacedByADateStaysATownie) {
    struct Silent final : exchange::ExchangeReporter {
        void showMessage(std::string_view caption, std::string_view text) override {
            if (caption != exchange::kReplaceCompleteCaption) ADD_FAILURE() << text;
        }
        void showStatus(std::string_view) override {}
        void stepProgress() override {}
        void redrawPreview() override {}
    } reporter;
    std::vector<std::string> dates;
    for (const std::string& name : platform::findFiles("TemplateNPCs", "*.iff"))
        dates.push_back(platform::resolvePath("TemplateNPCs\\" + name).string());
    Character made;
    made.record.setGender(kFemale);
    share::GameChange placement("", share::ChangeKind::NewDate);
    ASSERT_TRUE(exchange::createNewDate(dir.file("New"), templatePath, made, reporter, placement));
    dates.push_back(dir.file("New.iff"));

    const std::string characters = dir.file("Characters");
    const std::string townie = platform::joinPath(characters, "User00002.iff");
    for (const std::string& date : dates) {
        SCOPED_TRACE(date);
        fs::remove_all(characters);
        fs::create_directories(characters);
        fs::copy_file(platform::resolvePath("UserData\\Characters\\User00002.iff"), townie);
        share::GameChange replacement("", share::ChangeKind::TownieReplaced);
        ASSERT_TRUE(exchange::replaceTownie(townie, date, reporter, replacement).replaced());
        EXPECT_EQ(exchange::searchTownies(characters), std::vector<std::string>{"User00002.iff"});
    }
}

}  // namespace
}  // namespace tryster
