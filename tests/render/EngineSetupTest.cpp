#include "Scene.h"

#include "platform/FileFinder.h"
#include "render/Mesh3D.h"
#include "render/RenderDIPMesh.h"
#include "render/RenderError.h"

#include <gtest/gtest.h>

namespace tryster::render {
namespace {

using platform::soft::SoftwareDisplay;

RenderResult initialise(AnimDevice& anim, test::RecordingWindow& window, int depth, int colourModel = 1,
                        bool hardware = false, int width = 64, int height = 48) {
    return anim.initialise(&window, false, hardware, width, height, depth, colourModel, 0);
}

TEST(AnimDeviceSetup, ChoosesTheDriverByColourModel) {
    test::DisplayOverride display;
    const char* names[] = {"Ramp Emulation", "RGB Emulation", "Reference Rasterizer"};
    for (int model = 0; model < 3; ++model) {
        AnimDevice anim;
        test::RecordingWindow window;
        ASSERT_EQ(initialise(anim, window, 32, model), render::render_error::kOk);
        EXPECT_EQ(anim.drivers()[anim.chosenDriver()].name, names[model]);
    }
}

TEST(AnimDeviceSetup, PrefersTheLastHardwareDriverElseFallsBack) {
    SoftwareDisplay::Options options;
    options.drivers = {
        {"Ramp Emulation", false}, {"Card A", true}, {"RGB Emulation", false}, {"Card B", true}};
    {
        test::DisplayOverride display(options);
        AnimDevice anim;
        test::RecordingWindow window;
        ASSERT_EQ(initialise(anim, window, 32, 2, true), render::render_error::kOk);
        EXPECT_EQ(anim.drivers()[anim.chosenDriver()].name, "Card B");
    }
    options.drivers = {{"Ramp Emulation", false}, {"RGB Emulation", false}};
    test::DisplayOverride display(options);
    for (auto [model, wanted] : {std::pair{1, "RGB Emulation"}, std::pair{2, "Ramp Emulation"}}) {
        AnimDevice anim;
        test::RecordingWindow window;
        ASSERT_EQ(initialise(anim, window, 32, model, true), render::render_error::kOk);
        EXPECT_EQ(anim.drivers()[anim.chosenDriver()].name, wanted);
    }
}

TEST(AnimDeviceSetup, NoRgbEmulationDriverFails) {
    SoftwareDisplay::Options options;
    options.drivers = {{"Ramp Emulation", false}, {"Reference Rasterizer", false}};
    test::DisplayOverride display(options);
    AnimDevice anim;
    test::RecordingWindow window;
    EXPECT_EQ(initialise(anim, window, 32).code(), 0x9B0B001Cu);
}

TEST(AnimDeviceSetup, AModeChangeOutsideTheModeListFails) {
    test::DisplayOverride display;
    AnimDevice anim;
    test::RecordingWindow window;
    // The desktop is 32 bits; 16 bits at an odd size is no listed mode.
    EXPECT_EQ(initialise(anim, window, 16, 1, false, 66, 50).code(), 0x9B0B001Eu);
    AnimDevice listed;
    EXPECT_EQ(listed.initialise(&window, false, false, 640, 480, 16, 1, 0), render::render_error::kOk);
    platform::DisplayMode now;
    ASSERT_EQ(listed.display()->currentMode(now), platform::device_result::kOk);
    EXPECT_EQ(now, (platform::DisplayMode{640, 480, 16}));
}

TEST(AnimDeviceSetup, NoDisplayLibraryMeansNoDevice) {
    platform::installDisplaySystemFactory([] { return std::unique_ptr<platform::DisplaySystem>(); });
    AnimDevice anim;
    test::RecordingWindow window;
    EXPECT_EQ(initialise(anim, window, 32).code(), 0x9B0B0001u);
    platform::installDisplaySystemFactory({});
}

TEST(AnimDeviceSetup, AnEightBitDesktopReadsThePaletteAndStartsAtItsDepth) {
    SoftwareDisplay::Options options;
    options.desktop = {1024, 768, 8};
    test::DisplayOverride display(options);
    test::Scene scene(32, 32, {}, options);
    ASSERT_TRUE(scene.anim.palette().has_value());
    EXPECT_EQ(scene.anim.backSurface()->get()->description().format.bitsPerPixel, 8);
    auto mesh = scene.device->createRenderMesh();
    test::fillSphere(*mesh, 6, 8, 3);
    mesh->setTextureName("white");
    ASSERT_EQ(mesh->commit(), render::render_error::kOk);
    ASSERT_EQ(scene.frame(*mesh), render::render_error::kOk);
    EXPECT_NE(scene.pixel(16, 16), scene.pixel(0, 0));

    options.paletteReadable = false;
    test::DisplayOverride unreadable(options);
    AnimDevice anim;
    test::RecordingWindow window;
    EXPECT_EQ(initialise(anim, window, 8).code(), 0x9B0B0014u);
}

TEST(AnimDeviceSetup, AnOddWidthRendersOnePixelNarrower) {
    test::DisplayOverride display;
    AnimDevice anim;
    test::RecordingWindow window;
    ASSERT_EQ(initialise(anim, window, 32, 1, false, 335, 400), render::render_error::kOk);
    EXPECT_EQ(anim.width(), 334);
    EXPECT_EQ(anim.backSurface()->get()->description().width, 334);
    std::unique_ptr<Device3D> device;
    ASSERT_EQ(Device3D::create(anim, device), render::render_error::kOk);
    Viewport3D* viewport = nullptr;
    ASSERT_EQ(device->createViewport(viewport), render::render_error::kOk);
    EXPECT_EQ(viewport->width(), 334);
}

TEST(AnimDeviceSetup, WalksUpToTheTopLevelWindowAndSetsPathsAndKinds) {
    test::DisplayOverride display;
    test::RecordingWindow top, middle, preview;
    middle.parent = &top;
    preview.parent = &middle;
    AnimDevice anim;
    ASSERT_EQ(anim.initialise(&preview, false, false, 64, 48, 32, 1, 0), render::render_error::kOk);
    EXPECT_EQ(anim.topLevelWindow(), &top);
    EXPECT_EQ(static_cast<SoftwareDisplay*>(anim.display())->cooperativeWindow(), &top);
    EXPECT_EQ(anim.bitmapPath(), "Bitmaps; ../Bitmaps");
    EXPECT_EQ(anim.zBufferPath(), "ZBuffers; ../ZBuffers");
    EXPECT_EQ(anim.texturePath(), "Textures; ../Textures");
    auto& finder = platform::FileFinder::instance();
    EXPECT_EQ(finder.typesOf("IMAG"), (std::vector<std::string>{"BMP", "PPM"}));
    EXPECT_EQ(finder.typesOf("ZBUF"), (std::vector<std::string>{"ZBF"}));
    EXPECT_EQ(Mesh3D::searchPath(), "Meshes; ../Meshes");
}

TEST(Device3DSetup, TheFlavourFollowsTheDeviceAndTheSwitch) {
    SoftwareDisplay::Options options;
    options.indexedPrimitives = false;
    test::Scene executeOnly(16, 16, {}, options);
    EXPECT_FALSE(executeOnly.device->usesIndexedPrimitives());
    EXPECT_EQ(dynamic_cast<RenderDIPMesh*>(executeOnly.device->createRenderMesh().get()), nullptr);

    test::Scene both(16, 16);
    EXPECT_TRUE(both.device->usesIndexedPrimitives());
    EXPECT_NE(dynamic_cast<RenderDIPMesh*>(both.device->createRenderMesh().get()), nullptr);
    Device3D::setIndexedPrimitivesForbidden(true);
    EXPECT_TRUE(both.device->hasIndexedPrimitiveDevice());
    EXPECT_FALSE(both.device->usesIndexedPrimitives());
    Device3D::setIndexedPrimitivesForbidden(false);

    EXPECT_EQ(Device3D::current(), nullptr);
    Device3D::setCurrent(both.device.get());
    EXPECT_EQ(Device3D::current(), both.device.get());
    both.device.reset();
    EXPECT_EQ(Device3D::current(), nullptr);  // a deleted device is no longer current
}

TEST(ViewportSetup, PacksTheAmbientColourAndAppliesTheRenderStateBlock) {
    test::Scene scene(32, 32);
    EXPECT_EQ(scene.viewport->ambientArgb(), 0xB2B2B2B2u);
    RenderStateBlock block = scene.viewport->renderState();
    EXPECT_EQ(block.changed, 1);
    ASSERT_EQ(scene.viewport->beginScene(), render::render_error::kOk);
    ASSERT_EQ(scene.viewport->endScene(), render::render_error::kOk);
    EXPECT_EQ(scene.viewport->renderState().changed, 0);
    std::uint32_t value = 0;
    auto& g = scene.device->graphics();
    ASSERT_EQ(g.renderState(platform::render_state::kShadeMode, value), platform::device_result::kOk);
    EXPECT_EQ(value, 2u);
    ASSERT_EQ(g.renderState(platform::render_state::kZFunc, value), platform::device_result::kOk);
    EXPECT_EQ(value, platform::compare_func::kLessEqual);
    ASSERT_EQ(g.renderState(platform::render_state::kDitherEnable, value), platform::device_result::kOk);
    EXPECT_EQ(value, 0u);
}

TEST(ViewportSetup, LightsKeepTheirDirectionNormalisedAndTheirEffectiveColour) {
    test::Scene scene(16, 16);
    Vector3 d = scene.light1->direction();
    EXPECT_NEAR(d.x, -0.70710678f, 1e-6f);
    EXPECT_NEAR(d.y, -0.70710678f, 1e-6f);
    ASSERT_EQ(scene.light1->setColour(0.5f, 1, 1), render::render_error::kOk);
    ASSERT_EQ(scene.light1->setIntensity(0.5f), render::render_error::kOk);
    EXPECT_FLOAT_EQ(scene.light1->effectiveColour().r, 0.25f);
    EXPECT_FLOAT_EQ(scene.light1->colour().a, 1.0f);
    EXPECT_EQ(scene.device->lightCount(), 2u);
    std::vector<Ref<DirectionalLight>> more(40);
    for (auto& light : more) ASSERT_EQ(scene.device->createDirectionalLight(light), render::render_error::kOk);
    EXPECT_EQ(scene.device->lightCount(), 42u);  // past the first 32 the list grows
    more.clear();
    EXPECT_EQ(scene.device->lightCount(), 2u);
}

TEST(Camera, ProjectionSpansTheLargerDimension) {
    test::Scene scene(16, 16);
    Camera& camera = *scene.camera;
    const float t = std::tan(camera.fieldOfView() / 2), n = 1, f = 100;
    Matrix4 wide = camera.projectionMatrix(2.0f), tall = camera.projectionMatrix(0.5f);
    EXPECT_FLOAT_EQ(wide.m[0][0], 1);
    EXPECT_FLOAT_EQ(wide.m[1][1], 2);
    EXPECT_FLOAT_EQ(tall.m[0][0], 2);
    EXPECT_FLOAT_EQ(tall.m[1][1], 1);
    EXPECT_FLOAT_EQ(wide.m[2][2], t * f / (f - n));
    EXPECT_FLOAT_EQ(wide.m[2][3], t);
    EXPECT_FLOAT_EQ(wide.m[3][2], -t * f * n / (f - n));
    EXPECT_FLOAT_EQ(wide.m[3][3], 0);
    // A point on the edge of the field of view, 10 units ahead, lands on
    // the edge of the larger dimension.
    auto ndc = [](const Matrix4& p, Vector3 v) {
        float x = v.x * p.m[0][0], y = v.y * p.m[1][1], w = v.z * p.m[2][3];
        return std::pair{x / w, y / w};
    };
    EXPECT_NEAR(ndc(wide, {10 * t, 0, 10}).first, 1.0f, 1e-5f);
    EXPECT_NEAR(ndc(tall, {0, 10 * t, 10}).second, 1.0f, 1e-5f);
    EXPECT_NEAR(ndc(wide, {0, 10 * t, 10}).second, 2.0f, 1e-5f);  // outside: less is seen along the height
}

TEST(Camera, ThePreviewsParallelProjectionScalesEachAxis) {
    const float a = 334.0f / 400.0f, width = 6.0f;
    Matrix4 p = parallelProjection(width, a, 347.0f);
    for (Vector3 v : {Vector3{3, 0, 0}, Vector3{0, 3 / a, 0}, Vector3{1, 2, 173.5f}}) {
        float x = v.x * p.m[0][0], y = v.y * p.m[1][1], z = v.z * p.m[2][2], w = p.m[3][3];
        EXPECT_FLOAT_EQ(x / w, v.x / 3);
        EXPECT_FLOAT_EQ(y / w, v.y * a / 3);
        EXPECT_FLOAT_EQ(z / w, v.z / 347.0f);
    }
}

TEST(Camera, DefaultsAndViewMatrix) {
    test::DisplayOverride display;
    test::Scene scene(16, 16);
    Ref<Camera> fresh;
    ASSERT_EQ(scene.viewport->createCamera(fresh), render::render_error::kOk);
    EXPECT_EQ(fresh->position(), (Vector3{-300, 0, 0}));
    EXPECT_EQ(fresh->direction(), (Vector3{1, 0, 0}));
    EXPECT_FLOAT_EQ(fresh->frontClip(), 10.0f);
    EXPECT_FLOAT_EQ(fresh->backClip(), 200.0f);
    EXPECT_FLOAT_EQ(fresh->fieldOfView(), std::numbers::pi_v<float> / 4);
    // The camera's position goes to the origin, its direction to +z.
    Matrix4 view = fresh->viewMatrix();
    Vector3 at = view.transformPoint({-300, 0, 0});
    Vector3 ahead = view.transformPoint({-290, 0, 0});
    EXPECT_NEAR(length(at), 0, 1e-4f);
    EXPECT_NEAR(ahead.z, 10, 1e-4f);
    EXPECT_EQ(scene.viewport->view(), view);
}

}  // namespace
}  // namespace tryster::render
