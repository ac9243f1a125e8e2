#include "Pictures.h"
#include "support/EveryFault.h"
#include "support/TempDir.h"

#include "formats/ImageLibrary.h"
#include "render/Snapshot.h"
#include "softgpu/SoftwareSurface.h"

#include <gtest/gtest.h>

namespace tryster::render {
namespace {

std::shared_ptr<softgpu::SoftwareSurface> surface(int w, int h, const platform::PixelFormat& f) {
    return softgpu::SoftwareSurface::create({w, h, f, platform::SurfaceKind::Offscreen});
}

class Snapshots : public ::testing::Test {
protected:
    formats::ImageLibrarySession images;
    test::TempDir dir;
};

TEST_F(Snapshots, WritesTheRectangleAsAJpeg) {
    auto s = surface(334, 400, platform::pixel_format::kRgb565);
    ASSERT_EQ(s->fill({0, 0, 334, 400}, 0xFF8040), platform::device_result::kOk);
    ASSERT_TRUE(writeSnapshot(dir.file("Bobhead.jpg"), s.get(), {145, 146, 190, 191}));
    ASSERT_TRUE(writeSnapshot(dir.file("Bobbody.jpg"), s.get(), {120, 146, 220, 366}));
    EXPECT_EQ(test::jpegSize(dir.read("Bobhead.jpg")), (std::pair{45, 45}));
    EXPECT_EQ(test::jpegSize(dir.read("Bobbody.jpg")), (std::pair{100, 220}));
    ASSERT_TRUE(writeSnapshot(dir.file("whole.jpg"), s.get(), {-1, 0, 0, 0}));
    EXPECT_EQ(test::jpegSize(dir.read("whole.jpg")), (std::pair{334, 400}));
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
        test::forEveryFault(
            faulty, [] {},
            [&](std::uint64_t n) {
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
