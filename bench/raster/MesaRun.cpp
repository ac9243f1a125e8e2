// The baseline: the same figure, texture, lights and projection through
// Mesa's off-screen OpenGL with the fixed-function pipeline.

#include "RasterBench.h"

#include "platform/PngImage.h"

#include <chrono>
#include <cstdio>

#include <GL/gl.h>
#include <GL/osmesa.h>

namespace tryster::bench {
namespace {

constexpr int kWarmUpFrames = 5;

// Direct3D's depth runs 0..1, OpenGL's -1..1: z' = 2z - w.
render::Matrix4 openGlDepth() {
    render::Matrix4 m;
    m.m[2][2] = 2;
    m.m[3][2] = -1;
    return m;
}

void directionalLight(GLenum light, render::Vector3 direction) {
    render::Vector3 toLight = render::normalised(direction * -1.0f);
    const GLfloat position[4] = {toLight.x, toLight.y, toLight.z, 0};
    const GLfloat white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_DIFFUSE, white);
    glLightfv(light, GL_SPECULAR, black);
    glLightfv(light, GL_AMBIENT, black);
    glEnable(light);
}

}  // namespace

void runMesa(const Setup& s, int, bool cull, const std::string& config, bool writeOut) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
    if (!context) return;
    std::vector<std::uint32_t> frame(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height));
    if (!OSMesaMakeCurrent(context, frame.data(), GL_UNSIGNED_BYTE, s.width, s.height)) {
        OSMesaDestroyContext(context);
        return;
    }
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    Framing framing = frameMesh(s.mesh, s.width, s.height);

    glViewport(0, 0, s.width, s.height);
    glClearColor(141 / 255.0f, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DITHER);
    if (cull) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);  // the figure's front faces are clockwise on screen
        glCullFace(GL_BACK);
    }
    glMatrixMode(GL_PROJECTION);
    render::Matrix4 projection = framing.projection * openGlDepth();
    glLoadMatrixf(&projection.m[0][0]);  // row-major row vectors read as column-major
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&framing.view.m[0][0]);
    glEnable(GL_LIGHTING);
    directionalLight(GL_LIGHT0, {-100, -100, 0});
    directionalLight(GL_LIGHT1, {100, 100, 0});
    const GLfloat ambient[4] = {178 / 255.0f, 178 / 255.0f, 178 / 255.0f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, s.texture.width, s.texture.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 s.texture.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);

    const GLsizei stride = 8 * sizeof(float);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, s.mesh.vertices.data());
    glNormalPointer(GL_FLOAT, stride, s.mesh.vertices.data() + 3);
    glTexCoordPointer(2, GL_FLOAT, stride, s.mesh.vertices.data() + 6);

    std::vector<double> times;
    for (int i = -kWarmUpFrames; i < s.frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        render::Matrix4 modelView = framing.turn(i) * framing.view;
        glLoadMatrixf(&modelView.m[0][0]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(s.mesh.indices.size()), GL_UNSIGNED_SHORT,
                       s.mesh.indices.data());
        glFinish();
        auto end = std::chrono::steady_clock::now();
        if (i >= 0) times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    report(config, times);
    if (writeOut) {
        std::string path = s.out;
        std::size_t dot = path.rfind('.');
        path.insert(dot == std::string::npos ? path.size() : dot, "-" + config);
        platform::writePng(path, s.width, s.height, frame.data(), static_cast<std::size_t>(s.width));
    }
    glDeleteTextures(1, &texture);
    OSMesaDestroyContext(context);
}

}  // namespace tryster::bench
