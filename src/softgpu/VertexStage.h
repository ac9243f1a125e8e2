// No include guard: VertexProcessor.cpp includes this once for each set of
// lanes, inside that set's namespace, so that each copy is compiled for its
// own instruction set (SSE2, or AVX2 under a target pragma). It holds no
// lambdas, so that every function in it takes the pragma's target.
//
// The set of lanes `L` provides the float vector type F, its width kCount
// (four, or eight as two halves of four), and the operations the stage
// calls. Lane k of a half holds vertex k of that half: vertex k in the
// low half, vertex k + 4 in the high one.

// processOne for L::kCount vertices at once, lane by lane: its operations
// in the same order, so the same results (lighting by more than
// kMaxLaneLights stays with processOne). The constants are spread over
// the lanes once per draw.
template <class L>
class VertexStage {
public:
    using F = typename L::F;

    VertexStage(const platform::DeviceMatrix& t, const ScreenMapping& mapping,
                const LightingSetup* lighting) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) m_[i][j] = L::set(t.m[i][j]);
        scaleX_ = L::set(mapping.scaleX);
        offsetX_ = L::set(mapping.offsetX);
        scaleY_ = L::set(mapping.scaleY);
        offsetY_ = L::set(mapping.offsetY);
        lit_ = lighting != nullptr;
        if (!lit_) return;
        base_[0] = L::set(lighting->base.r);
        base_[1] = L::set(lighting->base.g);
        base_[2] = L::set(lighting->base.b);
        alpha_ = L::set(saturate255(lighting->alpha));
        for (const LightingSetup::Directional& l : lighting->lights)
            lights_[lightCount_++] = {{L::set(l.toLight.x), L::set(l.toLight.y), L::set(l.toLight.z)},
                                      {L::set(l.diffuse.r), L::set(l.diffuse.g), L::set(l.diffuse.b)}};
    }

    // The vertices in[0 .. kCount - 1].
    void process(const platform::DeviceVertex* in, ProcessedVertex* out) const {
        // Floats from one vertex to the one four further on.
        constexpr std::ptrdiff_t kInApart = 4 * sizeof(platform::DeviceVertex) / sizeof(float);
        constexpr std::ptrdiff_t kOutApart = 4 * sizeof(ProcessedVertex) / sizeof(float);
        F x = L::load(&in[0].x, kInApart), y = L::load(&in[1].x, kInApart), z = L::load(&in[2].x, kInApart),
          nx = L::load(&in[3].x, kInApart);
        transpose(x, y, z, nx);
        F ny = L::load(&in[0].ny, kInApart), nz = L::load(&in[1].ny, kInApart),
          u = L::load(&in[2].ny, kInApart), v = L::load(&in[3].ny, kInApart);
        transpose(ny, nz, u, v);

        F cx = row(x, y, z, 0), cy = row(x, y, z, 1), cz = row(x, y, z, 2), cw = row(x, y, z, 3);

        // clipCode: a comparison that fails (NaN too) sets the plane's bit.
        const F minusW = L::bitXor(cw, L::set(-0.0f)), zero = L::zero();
        F clip = L::bitOr(outside(L::atLeast(cx, minusW), kClipLeft), outside(L::atMost(cx, cw), kClipRight));
        clip = L::bitOr(clip, outside(L::atLeast(cy, minusW), kClipBottom));
        clip = L::bitOr(clip, outside(L::atMost(cy, cw), kClipTop));
        clip = L::bitOr(clip, outside(L::atLeast(cz, zero), kClipFront));
        clip = L::bitOr(clip, outside(L::atMost(cz, cw), kClipBack));
        clip = L::bitOr(clip, outside(L::above(cw, L::set(1e-30f)), kClipFront));

        // ScreenMapping::project, worked out for every lane: the screen
        // fields of clipped vertices are not read.
        F rhw = L::div(L::set(1.0f), cw);
        F sx = L::add(L::mul(L::mul(cx, rhw), scaleX_), offsetX_);
        F sy = L::add(L::mul(L::mul(cy, rhw), scaleY_), offsetY_);
        F sz = L::mul(cz, rhw);

        F r, g, b, a;
        if (!lit_) {
            r = g = b = a = L::set(255.0f);
        } else {
            r = base_[0];
            g = base_[1];
            b = base_[2];
            for (std::size_t i = 0; i < lightCount_; ++i) {
                const Light& l = lights_[i];
                const F d = L::add(L::add(L::mul(nx, l.toLight[0]), L::mul(ny, l.toLight[1])),
                                   L::mul(nz, l.toLight[2]));
                const F lit = L::above(d, zero);
                r = lightUp(r, lit, d, l.diffuse[0]);
                g = lightUp(g, lit, d, l.diffuse[1]);
                b = lightUp(b, lit, d, l.diffuse[2]);
            }
            r = saturate(r);
            g = saturate(g);
            b = saturate(b);
            a = alpha_;
        }

        // Back to one vertex per half-row: the four groups of four values
        // of ProcessedVertex.
        F none = zero;
        transpose(cx, cy, cz, cw);
        transpose(sz, rhw, u, v);
        transpose(b, g, r, a);
        transpose(sx, sy, clip, none);
        const F groups[4][4] = {{cx, sz, b, sx}, {cy, rhw, g, sy}, {cz, u, r, clip}, {cw, v, a, none}};
        for (int k = 0; k < 4; ++k) {
            float* o = &out[k].cx;
            for (int group = 0; group < 4; ++group) L::store(o + 4 * group, kOutApart, groups[k][group]);
        }
    }

private:
    struct Light {
        F toLight[3], diffuse[3];
    };

    // Clip space coordinate j: the position times the matrix's column j.
    F row(F x, F y, F z, int j) const {
        return L::add(L::add(L::add(L::mul(x, m_[0][j]), L::mul(y, m_[1][j])), L::mul(z, m_[2][j])),
                      m_[3][j]);
    }

    // The plane's bit where `inside` is false.
    static F outside(F inside, std::uint32_t bit) { return L::andNot(inside, L::bits(bit)); }

    // A light's share added where it falls on the front.
    static F lightUp(F c, F lit, F d, F diffuse) {
        return L::bitOr(L::bitAnd(lit, L::add(c, L::mul(d, diffuse))), L::andNot(lit, c));
    }

    // saturate255: 0 up to 0, 255 from 1, else times 255 (NaN too).
    static F saturate(F c) {
        const F scaled = L::mul(c, L::set(255.0f));
        const F high = L::atLeast(c, L::set(1.0f));
        const F kept = L::bitOr(L::bitAnd(high, L::set(255.0f)), L::andNot(high, scaled));
        return L::andNot(L::atMost(c, L::zero()), kept);
    }

    // Rows a b c d of each half become its columns.
    static void transpose(F& a, F& b, F& c, F& d) {
        const F ab0 = L::unpackLow(a, b), cd0 = L::unpackLow(c, d), ab1 = L::unpackHigh(a, b),
                cd1 = L::unpackHigh(c, d);
        a = L::lowPairs(ab0, cd0);
        b = L::highPairs(ab0, cd0);
        c = L::lowPairs(ab1, cd1);
        d = L::highPairs(ab1, cd1);
    }

    F m_[4][4];
    F scaleX_, offsetX_, scaleY_, offsetY_;
    bool lit_ = false;
    F base_[3]{}, alpha_{};
    Light lights_[kMaxLaneLights];
    std::size_t lightCount_ = 0;
};

// The vertices in[0 .. count - 1] whole sets of lanes at a time; how many
// that was.
template <class L>
std::uint32_t processLanes(const platform::DeviceVertex* in, std::uint32_t count, ProcessedVertex* out,
                           const platform::DeviceMatrix& t, const ScreenMapping& mapping,
                           const LightingSetup* lighting) {
    std::uint32_t i = 0;
    if (count < L::kCount) return i;
    const VertexStage<L> stage(t, mapping, lighting);
    for (; i + L::kCount <= count; i += L::kCount) stage.process(in + i, out + i);
    return i;
}
