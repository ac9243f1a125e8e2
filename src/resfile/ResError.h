#pragma once
// The error codes of the resource-file library: 0 is success, every failure
// one negative code from this table. Nothing in the library throws.
//
// A result is its own type, so it cannot pass for a count or for another
// module's result, and a caller cannot drop it without saying so. The
// numbers are the stored and documented ones: code() gives them back.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tryster::resfile {

class [[nodiscard]] ResError {
public:
    constexpr ResError() = default;
    constexpr explicit ResError(std::int32_t code) : code_(code) {}
    constexpr std::int32_t code() const { return code_; }
    friend constexpr bool operator==(ResError, ResError) = default;

private:
    std::int32_t code_ = 0;
};

inline constexpr ResError kNoError{0};
// Chunk differs from its index entry; bad record; directory service failure.
inline constexpr ResError kBadChunk{-1};
inline constexpr ResError kDeleteFailed{-39};
inline constexpr ResError kNoSuchFile{-40};
inline constexpr ResError kCreateFailed{-42};
inline constexpr ResError kFileExists{-43};
inline constexpr ResError kNotWritable{-45};     // write-type operation on a read-only file
inline constexpr ResError kShortWrite{-46};
inline constexpr ResError kAlreadyOpen{-47};
inline constexpr ResError kShortRead{-48};       // also a failed seek
inline constexpr ResError kNotOpen{-49};
inline constexpr ResError kFileError{-50};       // open/flush/truncate failed; operation not offered
inline constexpr ResError kNoVariants{-91};
inline constexpr ResError kTypeFiltered{-92};
inline constexpr ResError kBadHeader{-93};
inline constexpr ResError kNoFileForType{-94};
inline constexpr ResError kUnsupported{-95};
inline constexpr ResError kResNotFound{-98};
inline constexpr ResError kResNameNotFound{-99};  // also: handle unknown to a write, release or remove
inline constexpr ResError kTypeIndexRange{-100};
inline constexpr ResError kHandleLocked{-198};
inline constexpr ResError kBadHandle{-199};       // handle not in the live list
inline constexpr ResError kNoMemory{-200};
inline constexpr ResError kNoRuleApplies{-250};

// "kResNotFound"; "kNoError" for 0; "unknown error" for a code not in the table.
std::string_view errorName(ResError error);
// "kResNotFound (-98)".
std::string describeError(ResError error);
// As describeError (for test output).
std::ostream& operator<<(std::ostream& out, ResError error);

}  // namespace tryster::resfile
