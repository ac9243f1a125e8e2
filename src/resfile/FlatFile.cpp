#include "resfile/FlatFile.h"

#include "platform/FileSystem.h"

namespace tryster::resfile {

using platform::fileSystem;
using platform::OpenMode;

FlatFile::FlatFile() = default;

FlatFile::~FlatFile() { (void)close(); }  // a destructor has no one to tell

void FlatFile::supply(std::unique_ptr<platform::File> file) { supplied_ = std::move(file); }

ResError FlatFile::open(std::string_view path, bool readOnly) {
    if (file_) return kAlreadyOpen;
    std::unique_ptr<platform::File> file = std::move(supplied_);
    if (!file && !readOnly) file = fileSystem().open(path, OpenMode::ReadWrite);
    if (!file) file = fileSystem().open(path, OpenMode::Read);
    if (!file) return kFileError;
    auto size = file->size();
    if (!size) return kFileError;
    writable_ = file->isWritable();
    file_ = std::move(file);
    path_ = path;
    size_ = *size;
    posKnown_ = false;
    ++changes_;
    return kNoError;
}

ResError FlatFile::create(std::string_view path) {
    if (file_) return kAlreadyOpen;
    if (fileSystem().exists(path)) return kFileExists;
    if (!fileSystem().open(path, OpenMode::CreateNew)) return kCreateFailed;
    return kNoError;
}

ResError FlatFile::remove(std::string_view path) {
    if (file_) return kAlreadyOpen;
    if (!fileSystem().exists(path)) return kNoSuchFile;
    if (!fileSystem().remove(path)) return kDeleteFailed;
    return kNoError;
}

ResError FlatFile::close() {
    if (!file_) return kNotOpen;
    bool flushed = !writable_ || file_->flush();
    file_.reset();
    ++changes_;
    path_.clear();
    size_ = 0;
    posKnown_ = false;
    return flushed ? kNoError : kFileError;
}

ResError FlatFile::seek(std::uint64_t offset) {
    if (!file_) return kNotOpen;
    if (posKnown_ && pos_ == offset) return kNoError;
    if (!file_->seek(offset)) {
        posKnown_ = false;
        return kShortRead;
    }
    pos_ = offset;
    posKnown_ = true;
    return kNoError;
}

ResError FlatFile::read(void* buffer, std::size_t count) {
    if (!file_) return kNotOpen;
    if (count == 0) return kNoError;
    std::size_t done = file_->read(buffer, count);
    if (posKnown_) pos_ += done;
    return done == count ? kNoError : kShortRead;
}

ResError FlatFile::write(const void* buffer, std::size_t count) {
    if (!file_) return kNotOpen;
    if (!writable_) return kNotWritable;
    if (count == 0) return kNoError;
    ++changes_;
    std::size_t done = file_->write(buffer, count);
    if (posKnown_) {
        pos_ += done;
        if (pos_ > size_) size_ = pos_;
    } else if (auto size = file_->size()) {
        size_ = *size;
    }
    return done == count ? kNoError : kShortWrite;
}

ResError FlatFile::readAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (!file_) return kNotOpen;
    if (count == 0) return kNoError;
    posKnown_ = false;
    return file_->readAt(offset, buffer, count) == count ? kNoError : kShortRead;
}

ResError FlatFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (!file_) return kNotOpen;
    if (!writable_) return kNotWritable;
    if (count == 0) return kNoError;
    ++changes_;
    posKnown_ = false;
    std::size_t done = file_->writeAt(offset, buffer, count);
    if (done != 0 && offset + done > size_) size_ = offset + done;
    return done == count ? kNoError : kShortWrite;
}

ResError FlatFile::flush() {
    if (!file_) return kNotOpen;
    if (writable_ && !file_->flush()) return kFileError;
    return kNoError;
}

ResError FlatFile::setSize(std::uint64_t size) {
    if (!file_) return kNotOpen;
    if (!writable_) return kFileError;
    ++changes_;  // a failed truncate may still have cut something
    if (!file_->truncate(size)) return kFileError;
    size_ = size;
    posKnown_ = false;
    return kNoError;
}

ResError FlatFile::getPath(std::string& path) const {
    if (!file_) return kNotOpen;
    path = path_;
    return kNoError;
}

}  // namespace tryster::resfile
