#include "exchange/DateConstants.h"

namespace tryster::exchange {

namespace {

constexpr std::int32_t kScale = 100;

std::uint16_t stored(std::int32_t value) { return static_cast<std::uint16_t>(value); }

}  // namespace

std::array<std::uint16_t, kDateConstantCount> dateConstantValues(const PlomData& record) {
    std::array<std::uint16_t, kDateConstantCount> values{};
    values[0] = stored(record.careerTrack());
    values[1] = stored(record.careerLevel());
    for (std::size_t i = 0; i < kConstantTraits.size(); ++i)
        values[kFirstTraitConstant + i] = stored(record.personality(kConstantTraits[i]) * kScale);
    for (std::size_t i = 0; i < kConstantInterests.size(); ++i)
        values[kFirstInterestConstant + i] = stored(interestLevel(record, kConstantInterests[i]) * kScale);
    return values;
}

bool setDateConstants(cTreeConstants& constants, const PlomData& record) {
    if (constants.count() < kDateConstantCount) return false;
    const auto values = dateConstantValues(record);
    for (int k = 0; k < kDateConstantCount; ++k) constants.entry(k)->value = values[static_cast<std::size_t>(k)];
    return true;
}

bool readDateConstants(const cTreeConstants& constants, DateConstants& out) {
    if (constants.count() < kDateConstantCount) return false;
    auto value = [&](std::size_t k) { return constants.entry(static_cast<int>(k))->value; };
    out.careerTrack = static_cast<std::int16_t>(value(0));
    out.careerLevel = static_cast<std::int16_t>(value(1));
    for (std::size_t i = 0; i < kConstantTraits.size(); ++i)
        out.personality[static_cast<std::size_t>(kConstantTraits[i])] = value(kFirstTraitConstant + i) / kScale;
    for (std::size_t i = 0; i < kConstantInterests.size(); ++i)
        out.interestLevels[static_cast<std::size_t>(kConstantInterests[i])] = value(kFirstInterestConstant + i) / kScale;
    return true;
}

}  // namespace tryster::exchange
