#include "exchange/StagedFile.h"

#include "platform/FileSystem.h"

namespace tryster::exchange {

StagedFile::StagedFile(std::string_view target, std::string_view suffix)
    : target_(target), staged_(std::string(target) + std::string(suffix)) {}

StagedFile::~StagedFile() {
    if (!committed_) discard();
}

void StagedFile::discard() {
    auto& files = platform::fileSystem();
    if (files.exists(staged_)) (void)files.remove(staged_);  // nothing to do if it cannot go
}

bool StagedFile::commit() {
    committed_ = platform::fileSystem().rename(staged_, target_);
    if (!committed_) discard();
    return committed_;
}

}  // namespace tryster::exchange
