#include "anim/IndexFile.h"

#include "anim/AssetWriters.h"
#include "anim/BinaryAssetReader.h"

namespace tryster::anim {

FormatStatus readIndexFile(std::span<const std::uint8_t> bytes, IndexFileContents& out) {
    BinaryAssetReader in(bytes, kIndexNameLimit);
    const char* kinds[] = {"skeleton", "outfit", "animation"};
    std::vector<IndexFileContents::Pair>* sections[] = {&out.skeletons, &out.outfits, &out.animations};
    for (int s = 0; s < 3; ++s) {
        std::size_t count;
        if (!in.count(count))
            return FormatStatus::failure(in.position(), std::string("no ") + kinds[s] + " count");
        for (std::size_t i = 0; i < count; ++i) {
            IndexFileContents::Pair p;
            if (!in.name(p.objectName, kIndexNameLimit) || !in.name(p.fileBaseName, kIndexNameLimit))
                return FormatStatus::failure(
                    in.position(), std::string("bad ") + kinds[s] + " entry " + std::to_string(i + 1));
            sections[s]->push_back(std::move(p));
        }
    }
    return {};
}

FormatStatus writeIndexFile(const IndexFileContents& contents, std::vector<std::uint8_t>& out) {
    BinaryAssetWriter w(kIndexNameLimit);
    for (const auto* section : {&contents.skeletons, &contents.outfits, &contents.animations}) {
        w.count(section->size());
        for (const IndexFileContents::Pair& p : *section)
            if (!w.name(p.objectName, kIndexNameLimit) || !w.name(p.fileBaseName, kIndexNameLimit))
                return FormatStatus::failure(0, w.error());
    }
    if (!w.ok()) return FormatStatus::failure(0, w.error());
    out = w.bytes().take();
    return {};
}

}  // namespace tryster::anim
