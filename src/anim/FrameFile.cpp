#include "anim/FrameFile.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace tryster::anim {
namespace {

constexpr std::uint8_t kFloatFollows = 255;
constexpr std::uint8_t kRepeatFollows = 254;
constexpr std::uint8_t kAddNothing = 253;
constexpr std::uint32_t kMaxRepeat = 0xFFFF;
// A repeat entry (3 bytes) yields at most 65536 values.
constexpr std::size_t kMaxValuesPerByte = (kMaxRepeat + 1) / 3 + 1;

std::array<float, 254> makeDeltaTable() {
    std::array<float, 254> table{};
    const float k = 1.0f / 252.0f;
    for (int b = 0; b <= 252; ++b) {
        double s = 2.0 * b * static_cast<double>(k) - 1.0;
        double sign = s > 0 ? 1.0 : (s < 0 ? -1.0 : 0.0);
        table[static_cast<std::size_t>(b)] = static_cast<float>(sign * s * s * s * s * 0.1);
    }
    table[kAddNothing] = 0.0f;
    return table;
}

const std::array<float, 254>& deltaTable() {
    static const std::array<float, 254> table = makeDeltaTable();
    return table;
}

// One pool with the components `members`, read on from `in`.
template <typename T, std::size_t M>
bool decodePool(io::ByteReader& in, std::vector<T>& pool, float T::*const (&members)[M]) {
    const std::array<float, 254>& delta = deltaTable();
    float v = 0;
    std::uint16_t repeat = 0;
    for (float T::*member : members) {
        for (T& entry : pool) {
            if (repeat > 0) {
                --repeat;
            } else {
                std::uint8_t b;
                if (!in.u8(b)) return false;
                if (b == kFloatFollows) {
                    if (!in.f32le(v)) return false;
                } else if (b == kRepeatFollows) {
                    if (!in.u16le(repeat)) return false;
                } else {
                    v += delta[b];
                }
            }
            entry.*member = v;
        }
    }
    return true;
}

constexpr float Vector3::*kVectorMembers[] = {&Vector3::x, &Vector3::y, &Vector3::z};
constexpr float Quaternion::*kQuaternionMembers[] = {&Quaternion::x, &Quaternion::y, &Quaternion::z,
                                                     &Quaternion::w};

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

class CfpEncoder {
public:
    explicit CfpEncoder(float tolerance) : tolerance_(tolerance) {}

    template <typename T, std::size_t M>
    void pool(const std::vector<T>& entries, float T::*const (&members)[M]) {
        values_.clear();
        for (float T::*member : members)
            for (const T& e : entries) values_.push_back(e.*member);
        float v = 0;
        for (std::size_t i = 0; i < values_.size();) {
            std::size_t run = 0;
            while (i + run < values_.size() && run <= kMaxRepeat && sameBits(values_[i + run], v)) ++run;
            if (run > 1 || (run == 1 && !addsNothingSafely(v))) {
                out_.u8(kRepeatFollows);
                out_.u16le(static_cast<std::uint16_t>(run - 1));
                i += run;
                continue;
            }
            if (run == 1) {
                out_.u8(kAddNothing);
                ++i;
                continue;
            }
            int b = closestDelta(v, values_[i]);
            if (b >= 0) {
                out_.u8(static_cast<std::uint8_t>(b));
                v += deltaTable()[static_cast<std::size_t>(b)];
            } else {
                out_.u8(kFloatFollows);
                out_.f32le(values_[i]);
                v = values_[i];
            }
            ++i;
        }
    }

    std::vector<std::uint8_t> take() { return out_.take(); }

private:
    // v + 0 keeps v's bits only for finite values other than −0.
    static bool addsNothingSafely(float v) { return std::isfinite(v) && !(v == 0 && std::signbit(v)); }

    // The delta byte whose sum with v is `target` (or within the
    // tolerance of it); −1 when none is.
    int closestDelta(float v, float target) const {
        if (!std::isfinite(v) || !std::isfinite(target)) return -1;
        const std::array<float, 254>& delta = deltaTable();
        // The table rises with b over 0..252.
        auto it = std::lower_bound(delta.begin(), delta.begin() + 253, target - v);
        int best = -1;
        float bestError = 0;
        for (auto c : {it - 1, it}) {
            if (c < delta.begin() || c >= delta.begin() + 253) continue;
            float sum = v + *c;
            float error = std::fabs(sum - target);
            bool exact = sameBits(sum, target);
            if ((exact || (tolerance_ > 0 && error <= tolerance_)) && (best < 0 || error < bestError)) {
                best = static_cast<int>(c - delta.begin());
                bestError = error;
            }
        }
        return best;
    }

    float tolerance_;
    std::vector<float> values_;
    io::ByteWriter out_;
};

}  // namespace

float cfpDelta(std::uint8_t b) {
    return b < deltaTable().size() ? deltaTable()[b] : 0.0f;
}

bool decodeCfp(std::span<const std::uint8_t> bytes, std::size_t translationCount, std::size_t rotationCount,
               FramePools& out) {
    if (translationCount > kMaxPoolEntries || rotationCount > kMaxPoolEntries) return false;
    // Also no more values than the bytes can encode, so a short file costs
    // no more memory than its own size allows.
    const std::size_t limit = (bytes.size() + 1) * kMaxValuesPerByte;
    if (translationCount * 3 + rotationCount * 4 > limit) return false;
    FramePools pools;
    pools.translations.resize(translationCount);
    pools.rotations.resize(rotationCount);
    io::ByteReader in(bytes);
    if (!decodePool(in, pools.translations, kVectorMembers) || !decodePool(in, pools.rotations, kQuaternionMembers))
        return false;
    out = std::move(pools);
    return true;
}

std::vector<std::uint8_t> encodeCfp(const FramePools& pools, float tolerance) {
    CfpEncoder encoder(tolerance);
    encoder.pool(pools.translations, kVectorMembers);
    encoder.pool(pools.rotations, kQuaternionMembers);
    return encoder.take();
}

bool readBinFrames(std::span<const std::uint8_t> bytes, std::size_t translationCount,
                   std::size_t rotationCount, FramePools& out) {
    constexpr std::size_t kTranslationBytes = 12, kRotationBytes = 16;
    if (translationCount > kMaxPoolEntries || rotationCount > kMaxPoolEntries) return false;
    io::ByteReader in(bytes);
    io::ByteReader translations, rotations;
    // Both pools are checked against the file before anything is allocated.
    if (!in.readArray(translationCount, kTranslationBytes, translations) ||
        !in.readArray(rotationCount, kRotationBytes, rotations))
        return false;
    FramePools pools;
    pools.translations.resize(translationCount);
    pools.rotations.resize(rotationCount);
    for (Vector3& t : pools.translations)
        if (!translations.f32le(t.x) || !translations.f32le(t.y) || !translations.f32le(t.z)) return false;
    for (Quaternion& q : pools.rotations)
        if (!rotations.f32le(q.x) || !rotations.f32le(q.y) || !rotations.f32le(q.z) || !rotations.f32le(q.w))
            return false;
    out = std::move(pools);
    return true;
}

std::vector<std::uint8_t> writeBinFrames(const FramePools& pools) {
    io::ByteWriter w;
    for (const Vector3& t : pools.translations)
        for (float f : {t.x, t.y, t.z}) w.f32le(f);
    for (const Quaternion& q : pools.rotations)
        for (float f : {q.x, q.y, q.z, q.w}) w.f32le(f);
    return w.take();
}

}  // namespace tryster::anim
