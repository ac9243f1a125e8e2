#include "resfile/ObjResFile.h"

namespace tryster::resfile {

ObjResFile::ObjResFile() {
    ClearRules();
    AddRule(kKindContainer2, ".iff");
    AddRule(kKindContainer2, ".spf");
    AddRule(kKindContainer2, ".stx");
    AddRule(kKindResolve, ".dir");
}

ObjResFile::~ObjResFile() = default;

void ObjResFile::SetKeyed(std::int16_t key, std::unique_ptr<Attachment> object) {
    for (auto& [k, o] : keyed_) {
        if (k == key) {
            o = std::move(object);
            return;
        }
    }
    keyed_.emplace_back(key, std::move(object));
}

ObjResFile::Attachment* ObjResFile::FindKeyed(std::int16_t key) const {
    for (const auto& [k, o] : keyed_)
        if (k == key) return o.get();
    return nullptr;
}

}  // namespace tryster::resfile
