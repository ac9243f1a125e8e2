// The preview on the demo game folder: the body snapshot of the figure users
// first see shows it textured and lit.

#include "PreviewHarness.h"
#include "demoworld/DemoFolder.h"

#include <set>

namespace tryster::test {
namespace {

using preview::kBodySnapshotRect;

class DemoFigure : public ::testing::Test, protected PreviewDoubles {
protected:
    DemoFigure() { installDoubles(); }
    ~DemoFigure() override { removeDoubles(); }
    InDemoFolder in;
};

// A dressed, lit, textured figure shows many colours; a missing texture or
// light would leave a few flat ones.
TEST_F(DemoFigure, TheBodySnapshotShowsATexturedLitFigure) {
    preview = std::make_unique<preview::Preview>(look, presenter, previewClock);
    look.setInstallFolder(demoFolder());
    ASSERT_TRUE(preview::startPreview(*preview, look, &window, preview::kPreviewWidth, preview::kPreviewHeight));
    preview->setZoomLevel(2);
    run(200);
    const Picture body = picture(&kBodySnapshotRect);
    std::set<std::uint32_t> colours;
    int figure = 0;
    for (std::uint32_t px : body.pixels)
        if (!isBackground(px & 0xFFFFFF)) {
            colours.insert(px & 0xFFFFFF);
            ++figure;
        }
    EXPECT_GT(colours.size(), 300u);
    EXPECT_GT(figure, body.width * body.height / 5);
}

}  // namespace
}  // namespace tryster::test
