// The process-wide file system: the real one unless a test installed another.

#include "platform/FileSystem.h"

namespace tryster::platform {
namespace {

FileSystem* g_installed = nullptr;

}  // namespace

FileSystem& fileSystem() { return g_installed ? *g_installed : realFileSystem(); }

void installFileSystem(FileSystem* replacement) { g_installed = replacement; }

}  // namespace tryster::platform
