#include "resfile/ResError.h"

#include <array>
#include <ostream>
#include <utility>

namespace tryster::resfile {

std::string_view errorName(ResError error) {
    static constexpr std::array<std::pair<ResError, std::string_view>, 24> kNames{{
        {kNoError, "kNoError"},
        {kBadChunk, "kBadChunk"},
        {kDeleteFailed, "kDeleteFailed"},
        {kNoSuchFile, "kNoSuchFile"},
        {kCreateFailed, "kCreateFailed"},
        {kFileExists, "kFileExists"},
        {kNotWritable, "kNotWritable"},
        {kShortWrite, "kShortWrite"},
        {kAlreadyOpen, "kAlreadyOpen"},
        {kShortRead, "kShortRead"},
        {kNotOpen, "kNotOpen"},
        {kFileError, "kFileError"},
        {kNoVariants, "kNoVariants"},
        {kTypeFiltered, "kTypeFiltered"},
        {kBadHeader, "kBadHeader"},
        {kNoFileForType, "kNoFileForType"},
        {kUnsupported, "kUnsupported"},
        {kResNotFound, "kResNotFound"},
        {kResNameNotFound, "kResNameNotFound"},
        {kTypeIndexRange, "kTypeIndexRange"},
        {kHandleLocked, "kHandleLocked"},
        {kBadHandle, "kBadHandle"},
        {kNoMemory, "kNoMemory"},
        {kNoRuleApplies, "kNoRuleApplies"},
    }};
    for (const auto& [code, name] : kNames)
        if (code == error) return name;
    return "unknown error";
}

std::string describeError(ResError error) {
    return std::string(errorName(error)) + " (" + std::to_string(error.code()) + ")";
}

std::ostream& operator<<(std::ostream& out, ResError error) { return out << describeError(error); }

}  // namespace tryster::resfile
