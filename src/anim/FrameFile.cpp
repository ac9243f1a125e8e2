#include "anim/FrameFile.h"

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

// One pool of `count` entries with the components `members`.
template <typename T, std::size_t M>
bool decodePool(const std::uint8_t*& p, const std::uint8_t* end, std::vector<T>& pool,
                float T::*const (&members)[M]) {
    const std::array<float, 254>& delta = deltaTable();
    float v = 0;
    std::uint32_t repeat = 0;
    for (float T::*member : members) {
        for (T& entry : pool) {
            if (repeat > 0) {
                --repeat;
            } else {
                if (p == end) return false;
                std::uint8_t b = *p++;
                if (b == kFloatFollows) {
                    if (end - p < 4) return false;
                    std::uint32_t bits = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                         std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
                    v = std::bit_cast<float>(bits);
                    p += 4;
                } else if (b == kRepeatFollows) {
                    if (end - p < 2) return false;
                    repeat = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
                    p += 2;
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
    const std::size_t limit = (bytes.size() + 1) * kMaxValuesPerByte;
    if (translationCount > limit / 3 || rotationCount > limit / 4 ||
        translationCount * 3 + rotationCount * 4 > limit)
        return false;
    FramePools pools;
    pools.translations.resize(translationCount);
    pools.rotations.resize(rotationCount);
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* end = p + bytes.size();
    if (!decodePool(p, end, pools.translations, kVectorMembers) ||
        !decodePool(p, end, pools.rotations, kQuaternionMembers))
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
    if (translationCount > bytes.size() / kTranslationBytes) return false;
    if (rotationCount > (bytes.size() - translationCount * kTranslationBytes) / kRotationBytes) return false;
    FramePools pools;
    pools.translations.resize(translationCount);
    pools.rotations.resize(rotationCount);
    auto next = [p = bytes.data()]() mutable {
        std::uint32_t bits = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                             std::uint32_t{p[3]} << 24;
        p += 4;
        return std::bit_cast<float>(bits);
    };
    for (Vector3& t : pools.translations) {
        t.x = next();
        t.y = next();
        t.z = next();
    }
    for (Quaternion& q : pools.rotations) {
        q.x = next();
        q.y = next();
        q.z = next();
        q.w = next();
    }
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
