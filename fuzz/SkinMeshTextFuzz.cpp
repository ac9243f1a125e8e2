// Text meshes: read, check the layout, write back.
#include "AnimFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tryster::anim::Ref<tryster::anim::SkinMesh> mesh;
    if (!tryster::anim::readSkinMeshText({reinterpret_cast<const char*>(data), size}, mesh).ok) return 0;
    tryster::fuzz::checkLayout(*mesh);
    tryster::fuzz::roundTripMesh(*mesh);
    return 0;
}
