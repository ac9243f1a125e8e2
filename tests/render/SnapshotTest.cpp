#include "support/EveryFault.h"
#include "support/TempDir.h"

#include "formats/ImageLibrary.h"
#include "platform/SurfacePixels.h"
#include "render/Snapshot.h"
#include "softgpu/SoftwareSurface.h"

#include <cstring>

#include <gtest/gtest.h>

namespace tryster::render {
namespace {

using platform::ScreenRect;

std::shared_ptr<softgpu::SoftwareSurface> surface(int w, int h, const platform::PixelFormat& f) {
    return softgpu::SoftwareSurface::create({w, h, f, platform::SurfaceKind::Offscreen});
}

template <typename T>
void poke(platform::Surface& s, int x, int y, T value) {
    platform::LockedSurface l;
    ASSERT_EQ(s.lock(l), platform::device_result::kOk);
    std::memcpy(l.pixels + y * l.pitch + x * static_cast<int>(sizeof(T)), &value, sizeof(T));
    EXPECT_EQ(s.unlock(), platform::device_result::kOk);
}

class Snapshots : public ::testing::Test {
protected:
    Snapshots() {
        auto& lib = formats::ImageLibrary::instance();
        lib.installCallbacks(formats::fileSystemCallbacks());
        lib.init();
    }
    ~Snapshots() override { formats::ImageLibrary::instance().restore(); }

    // Width and height from the JPEG's start-of-frame marker.
    static std::pair<int, int> jpegSize(const std::string& bytes) {
        for (std::size_t i = 2; i + 9 < bytes.size();) {
            auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
            if (at(i) != 0xFF) return {0, 0};
            unsigned marker = at(i + 1), length = at(i + 2) << 8 | at(i + 3);
            if (marker == 0xC0 || marker == 0xC2)
                return {at(i + 7) << 8 | at(i + 8), at(i + 5) << 8 | at(i + 6)};
            i += 2 + length;
        }
        return {0, 0};
    }

    test::TempDir dir;
};

TEST_F(Snapshots, WritesTheRectangleAsAJpeg) {
    auto s = surface(334, 400, platform::pixel_format::kRgb565);
    ASSERT_EQ(s->fill({0, 0, 334, 400}, 0xFF8040), platform::device_result::kOk);
    ASSERT_TRUE(writeSnapshot(dir.file("Bobhead.jpg"), s.get(), {145, 146, 190, 191}));
    ASSERT_TRUE(writeSnapshot(dir.file("Bobbody.jpg"), s.get(), {120, 146, 220, 366}));
    std::string head = dir.read("Bobhead.jpg"), body = dir.read("Bobbody.jpg");
    ASSERT_GT(head.size(), 4u);
    EXPECT_EQ(head.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(head.substr(head.size() - 2), "\xFF\xD9");
    EXPECT_EQ(jpegSize(head), (std::pair{45, 45}));
    EXPECT_EQ(jpegSize(body), (std::pair{100, 220}));
    ASSERT_TRUE(writeSnapshot(dir.file("whole.jpg"), s.get(), {-1, 0, 0, 0}));
    EXPECT_EQ(jpegSize(dir.read("whole.jpg")), (std::pair{334, 400}));
    // The surface is unlocked again.
    platform::LockedSurface l;
    EXPECT_EQ(s->lock(l), platform::device_result::kOk);
    EXPECT_EQ(s->unlock(), platform::device_result::kOk);
}

TEST_F(Snapshots, WritesNothingForBadRectanglesDepthsOrAMissingLibrary) {
    auto s = surface(100, 100, platform::pixel_format::kXrgb8888);
    EXPECT_FALSE(writeSnapshot(dir.file("a.jpg"), s.get(), {0, 0, 101, 50}));
    EXPECT_FALSE(writeSnapshot(dir.file("b.jpg"), s.get(), {60, 0, 160, 50}));  // fits in size, not in place
    EXPECT_FALSE(writeSnapshot(dir.file("c.jpg"), s.get(), {0, 90, 10, 91 + 20}));
    EXPECT_FALSE(writeSnapshot(dir.file("d.jpg"), nullptr, {0, 0, 10, 10}));
    EXPECT_FALSE(writeSnapshot("", s.get(), {0, 0, 10, 10}));
    auto eight = surface(10, 10, platform::pixel_format::kPalette8);
    EXPECT_FALSE(writeSnapshot(dir.file("e.jpg"), eight.get(), {0, 0, 10, 10}));
    {  // whichever write fails, the failure is reported and nothing half-written stays
        test::FaultyFileSystem faulty;
        faulty.once = true;
        test::ScopedFileSystem installed(faulty);
        test::forEveryFault(faulty, [] {}, [&](std::uint64_t n) {
            EXPECT_EQ(writeSnapshot(dir.file("g.jpg"), s.get(), {0, 0, 10, 10}), n == 0);
            EXPECT_EQ(std::filesystem::remove(dir.file("g.jpg")), n == 0);
        });
    }
    formats::ImageLibrary::instance().restore();
    EXPECT_FALSE(writeSnapshot(dir.file("f.jpg"), s.get(), {0, 0, 10, 10}));
    EXPECT_FALSE(writeSnapshot(dir.file("no-folder/h.jpg"), s.get(), {0, 0, 10, 10}));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg"})
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
}

}  // namespace
}  // namespace tryster::render
