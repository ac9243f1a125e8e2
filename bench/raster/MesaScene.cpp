#include "MesaScene.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

namespace tryster::bench {
namespace {

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

MesaScene::MesaScene(int width, int height, bool cull) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
    if (!context) return;
    frame_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (!OSMesaMakeCurrent(context, frame_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(context);
        return;
    }
    context_ = context;
    height_ = height;
    OSMesaPixelStore(OSMESA_Y_UP, 0);

    glViewport(0, 0, width, height);
    glClearColor(141 / 255.0f, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DITHER);
    if (cull) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);  // front faces are clockwise on screen
        glCullFace(GL_BACK);
    }
    placeLights(render::Matrix4::identity());
    glEnable(GL_LIGHTING);
    const GLfloat ambient[4] = {178 / 255.0f, 178 / 255.0f, 178 / 255.0f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

MesaScene::~MesaScene() {
    if (!context_) return;
    if (!textures_.empty()) glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
    OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
}

void MesaScene::setProjection(const render::Matrix4& projection) {
    glMatrixMode(GL_PROJECTION);
    const render::Matrix4 p = projection * openGlDepth();
    glLoadMatrixf(&p.m[0][0]);  // row-major row vectors read as column-major
    glMatrixMode(GL_MODELVIEW);
}

void MesaScene::placeLights(const render::Matrix4& view) {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&view.m[0][0]);
    directionalLight(GL_LIGHT0, {-100, -100, 0});
    directionalLight(GL_LIGHT1, {100, 100, 0});
}

void MesaScene::setModelView(const render::Matrix4& modelView) {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&modelView.m[0][0]);
}

unsigned MesaScene::addTexture(const formats::DecodedImage& image) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (!texture) return 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    textures_.push_back(texture);
    return texture;
}

void MesaScene::clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void MesaScene::clear(int left, int top, int right, int bottom) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, height_ - bottom, right - left, bottom - top);  // y up
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void MesaScene::drawTriangles(const float* vertices, const std::uint16_t* indices, std::size_t indexCount,
                              unsigned texture) {
    const GLsizei stride = 8 * sizeof(float);
    glBindTexture(GL_TEXTURE_2D, texture);
    glVertexPointer(3, GL_FLOAT, stride, vertices);
    glNormalPointer(GL_FLOAT, stride, vertices + 3);
    glTexCoordPointer(2, GL_FLOAT, stride, vertices + 6);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT, indices);
}

void MesaScene::finish() { glFinish(); }

}  // namespace tryster::bench
