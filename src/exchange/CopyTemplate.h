#pragma once
// The template copy: every resource of a character file copied into a new
// container, the copy's objects given fresh identities.

#include "exchange/TemplateCopyPlan.h"
#include "resfile/IFFResFile2.h"
#include "resfile/iResFile.h"

#include <functional>
#include <string_view>

namespace tryster::exchange {

// Text lists of this type (the bytes "cst" and a zero) hold caret text; the
// copy stores them as string lists ("STR#") under the same id.
inline constexpr resfile::ResType kTypeCaretStrings = 0x63737400;

// Opens `templatePath` as an object's combined file (read only), creates
// `targetPath` (which must not exist) as a 2.5 container and copies every
// resource with its type, id, name, variant and byte order, in the
// template's order. Each 'OBJD' moves its identifier to the previous
// identifier field, takes a fresh one and (unless the plan keeps names) the
// plan's object name. An 'OBJD' too short for both fields fails the copy
// with kBadChunk.
//
// Sets the plan's target path. 0 on success; on failure the error of the
// file that failed, and a target this call created is removed again.
[[nodiscard]] resfile::ResError copyTemplate(TemplateCopyPlan& plan, std::string_view templatePath,
                                             std::string_view targetPath);
// The same, then `more` on the target while it is still open (saving a
// second open, map and close); its error fails the copy like any other.
[[nodiscard]] resfile::ResError copyTemplate(TemplateCopyPlan& plan, std::string_view templatePath,
                                             std::string_view targetPath,
                                             const std::function<resfile::ResError(resfile::IFFResFile2&)>& more);

// Adds a resource of a non-zero variant beside the variant-0 resource of
// the same type and id, which a container would otherwise replace by it:
// the resource is added under `spareId` (an id no resource of the type
// carries) and then given its own id. The file owns `handle` afterwards,
// or has disposed it when the add failed.
[[nodiscard]] resfile::ResError addBesideTwin(resfile::iResFile& file, resfile::DataHandle handle,
                                              resfile::ResType type, std::int16_t id, std::int16_t spareId,
                                              std::string_view name, std::uint8_t variant, bool native);

}  // namespace tryster::exchange
