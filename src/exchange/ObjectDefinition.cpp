#include "exchange/ObjectDefinition.h"

#include "io/ByteReader.h"
#include "platform/Clock.h"
#include "resfile/iResFile.h"

namespace tryster::exchange {

std::uint32_t freshObjectIdentifier() {
    std::uint32_t tick = platform::tickCountMs();
    auto seconds = static_cast<std::uint32_t>(platform::calendarSeconds());
    auto random = static_cast<std::uint32_t>(platform::nextRandom());
    return (tick << 16) ^ seconds ^ random;
}

std::optional<std::uint32_t> readObjectField(std::span<const std::uint8_t> data, std::size_t offset, bool native) {
    io::ByteReader in(data);
    std::uint32_t value = 0;
    if (!in.seek(offset) || !in.u32(value, native ? std::endian::little : std::endian::big)) return std::nullopt;
    return value;
}

std::vector<ObjectDefinitionRead> readObjectDefinitions(resfile::iResFile& file) {
    std::vector<ObjectDefinitionRead> out;
    const std::int16_t count = file.CountResources(kTypeObjectDefinition);
    for (std::int16_t i = 1; i <= count; ++i) {
        ObjectDefinitionRead& definition = out.emplace_back();
        resfile::DataHandle handle = file.GetIndResource(kTypeObjectDefinition, i, nullptr);
        if (!handle) continue;
        const std::span<const std::uint8_t> data = resfile::handleBytes(handle);
        definition.read = true;
        definition.identifier = readObjectField(data, kObjectIdentifierOffset, file.IsNativeOrder(handle));
        definition.whole = definition.identifier && data.size() >= kMinObjectDefinitionSize;
        (void)resfile::ReleaseAndDispose(file, handle);  // only read: nothing to write back
    }
    return out;
}

namespace {

bool writeBytes(std::span<std::uint8_t> data, std::size_t offset, bool native, std::uint32_t value, std::size_t size) {
    if (offset > data.size() || data.size() - offset < size) return false;
    for (std::size_t i = 0; i < size; ++i) {
        std::size_t shift = native ? i : size - 1 - i;
        data[offset + i] = static_cast<std::uint8_t>(value >> (8 * shift));
    }
    return true;
}

}  // namespace

bool writeObjectField(std::span<std::uint8_t> data, std::size_t offset, bool native, std::uint32_t value) {
    return writeBytes(data, offset, native, value, 4);
}

bool writeObjectWord(std::span<std::uint8_t> data, std::size_t offset, bool native, std::uint16_t value) {
    return writeBytes(data, offset, native, value, 2);
}

}  // namespace tryster::exchange
