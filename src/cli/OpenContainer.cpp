#include "cli/OpenContainer.h"

#include "resfile/IFFResFile.h"
#include "resfile/IFFResFile2.h"

#include <memory>

namespace tryster::cli {

using namespace resfile;

ResError openByContent(StdResFile& file, const std::string& path, bool readOnly) {
    auto v2 = std::make_unique<IFFResFile2>();
    v2->setOpenReadOnly(readOnly);
    const ResError error = v2->Open(path);
    if (error == kNoError) {
        file.AddMember(std::move(v2));
        return kNoError;
    }
    if (error != kBadHeader) return error;
    auto v1 = std::make_unique<IFFResFile>();
    v1->setOpenReadOnly(readOnly);
    if (v1->Open(path) != kNoError) return error;
    file.AddMember(std::move(v1));
    return kNoError;
}

ContainerDamage damageOf(StdResFile& file) {
    const auto* container = dynamic_cast<const ContainerFile*>(file.GetMember(0));
    return container ? container->damage() : ContainerDamage{};
}

}  // namespace tryster::cli
