// No include guard: TriangleBatch.cpp includes this once for each set of
// lanes, inside that set's namespace, so that each copy is compiled for its
// own instruction set (SSE2, or AVX2 under a target pragma). It holds no
// lambdas, so that every function in it takes the pragma's target.
//
// The set of lanes `L` provides the vector types I (32-bit integers) and F
// (floats), its width kCount, and the operations the stage calls, named for
// what they do.

// drawTriangle's position stage for the batch's triangles first ..
// first + L::kCount - 1 (all filled; `lanes` the ones that count, as bits
// from `first`, those past the set's width ignored): snapping, area and
// culling, bounds, edge functions, and the positions the planes take. Adds
// the lanes' results to `out`; false when none of them is drawn or wide.
template <class L>
bool positionStage(const TriangleBatch::Corners& corners, int first, int lanes, std::uint32_t cull,
                   const platform::ScreenRect& clip, Rasterizer::BatchLanes& out) {
    using I = typename L::I;
    using F = typename L::F;
    lanes &= (1 << L::kCount) - 1;
    constexpr int kSubpixels = Rasterizer::kSubpixels;
    // Below this span in 1/16 pixels, every difference of positions fits
    // 15 bits and every product of two of them (areas, edge functions) 32.
    constexpr int kMaxSpan = 1 << 14;

    // Snapped positions: toFixed() for all lanes (the same rounding).
    I X[3], Y[3];
    F fx, fy;
    L::positions(corners, first, 0, fx, fy);
    X[0] = L::round(fx);
    Y[0] = L::round(fy);
    F minX = fx, maxX = fx, minY = fy, maxY = fy;
    for (int i = 1; i < 3; ++i) {
        L::positions(corners, first, i, fx, fy);
        X[i] = L::round(fx);
        Y[i] = L::round(fy);
        minX = L::min(minX, fx);
        maxX = L::max(maxX, fx);
        minY = L::min(minY, fy);
        maxY = L::max(maxY, fy);
    }
    // Rounding keeps order, so the bounds of the snapped positions are the
    // snapped bounds.
    const I left = L::round(minX), right = L::round(maxX), top = L::round(minY), bottom = L::round(maxY);
    const I span = L::set(kMaxSpan);
    const I inSpan = L::bitAnd(L::greater(span, L::sub(right, left)), L::greater(span, L::sub(bottom, top)));

    // Twice the signed area; with y pointing down, positive is clockwise.
    const I zero = L::set(0), all = L::set(-1);
    I area = L::madd16(L::sub(X[1], X[0]), L::sub(X[2], X[0]), L::sub(Y[2], Y[0]), L::sub(Y[0], Y[1]));
    I drawn = L::andNot(L::equal(area, zero), inSpan);
    if (cull == platform::cull_mode::kCounterClockwise) drawn = L::bitAnd(drawn, L::greater(area, zero));
    if (cull == platform::cull_mode::kClockwise) drawn = L::bitAnd(drawn, L::greater(zero, area));
    const int wide = ~L::mask(inSpan) & lanes;
    if ((L::mask(drawn) & lanes) == 0 && wide == 0) return false;

    // Counter-clockwise triangles that stay turn clockwise.
    const I turned = L::greater(zero, area);
    const I x1 = L::select(turned, X[2], X[1]), y1 = L::select(turned, Y[2], Y[1]);
    X[2] = L::select(turned, X[1], X[2]);
    Y[2] = L::select(turned, Y[1], Y[2]);
    X[1] = x1;
    Y[1] = y1;
    area = L::sub(L::bitXor(area, turned), turned);

    // Pixels whose centres (x·16 + 8) lie within the bounds, clipped.
    const I seven = L::set(kSubpixels / 2 - 1), eight = L::set(kSubpixels / 2);
    const I xmin = L::max(L::shiftRight4(L::add(left, seven)), L::set(clip.left));
    const I xmax = L::min(L::shiftRight4(L::sub(right, eight)), L::set(clip.right - 1));
    const I ymin = L::max(L::shiftRight4(L::add(top, seven)), L::set(clip.top));
    const I ymax = L::min(L::shiftRight4(L::sub(bottom, eight)), L::set(clip.bottom - 1));
    drawn = L::andNot(L::bitOr(L::greater(xmin, xmax), L::greater(ymin, ymax)), drawn);
    const int drawnLanes = L::mask(drawn) & lanes;
    out.wide |= wide << first;
    out.turned |= L::mask(turned) << first;
    if (drawnLanes == 0 && wide == 0) return false;
    if (drawnLanes) {
        // The drawn lanes' bounds, all at once.
        out.unite({L::lowest(xmin, drawn), L::lowest(ymin, drawn), -L::lowest(L::sub(all, xmax), drawn),
                   -L::lowest(L::sub(all, ymax), drawn)});
        out.drawn |= drawnLanes << first;
    }

    // Edge functions at the first pixel centre, top-left rule applied. The
    // origin lies within the bounds, so its distances to the vertices fit
    // 15 bits too. Rows: e of the three edges, then ex, then ey.
    const I originX = L::add(L::shiftLeft4(xmin), eight), originY = L::add(L::shiftLeft4(ymin), eight);
    I edge[9];
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const I dx = L::sub(X[j], X[i]), dy = L::sub(Y[j], Y[i]);
        const I e = L::madd16(L::sub(zero, dy), dx, L::sub(originX, X[i]), L::sub(originY, Y[i]));
        const I topLeft = L::bitOr(L::greater(zero, dy), L::bitAnd(L::equal(dy, zero), L::greater(dx, zero)));
        edge[i] = L::add(e, L::andNot(topLeft, all));
        edge[3 + i] = L::sub(zero, L::shiftLeft4(dy));
        edge[6 + i] = L::shiftLeft4(dx);
        for (int row : {i, 3 + i, 6 + i}) L::store(&out.edges[row][first], edge[row]);
    }

    // A triangle whose bounds hold one quad or less often covers none of
    // its pixel centres (the small triangles of a detailed mesh): it is
    // left out before its planes are set up, as its walk would draw nothing.
    // Covered where all three edge functions are at least 0 at a pixel of
    // the quad.
    I any = zero;
    const I wider = L::greater(xmax, xmin), taller = L::greater(ymax, ymin);
    for (int pixel = 0; pixel < 4; ++pixel) {
        const bool toRight = pixel & 1, toBottom = pixel & 2;
        I signs = zero;
        for (int i = 0; i < 3; ++i) {
            I e = edge[i];
            if (toRight) e = L::add(e, edge[3 + i]);
            if (toBottom) e = L::add(e, edge[6 + i]);
            signs = L::bitOr(signs, e);
        }
        I covered = L::andNot(L::greater(zero, signs), all);
        if (toRight) covered = L::bitAnd(covered, wider);
        if (toBottom) covered = L::bitAnd(covered, taller);
        any = L::bitOr(any, covered);
    }
    const I two = L::set(2);
    const I oneQuad = L::bitAnd(L::greater(two, L::sub(xmax, xmin)), L::greater(two, L::sub(ymax, ymin)));
    out.empty |= L::mask(L::andNot(any, oneQuad)) << first;
    L::store(&out.bounds[0][first], xmin);
    L::store(&out.bounds[1][first], xmax);
    L::store(&out.bounds[2][first], ymin);
    L::store(&out.bounds[3][first], ymax);

    // The positions as the planes take them (drawTriangle's formulas).
    const F sixteenth = L::set(1.0f / kSubpixels), half = L::set(0.5f);
    const F areaPixels = L::mul(L::toFloat(area), L::set(1.0f / (kSubpixels * kSubpixels)));
    auto& p = out.positions;
    L::store(&p[0][first], L::mul(L::toFloat(L::sub(X[1], X[0])), sixteenth));
    L::store(&p[1][first], L::mul(L::toFloat(L::sub(Y[1], Y[0])), sixteenth));
    L::store(&p[2][first], L::mul(L::toFloat(L::sub(X[2], X[0])), sixteenth));
    L::store(&p[3][first], L::mul(L::toFloat(L::sub(Y[2], Y[0])), sixteenth));
    L::store(&p[4][first], areaPixels);
    L::store(&p[5][first], L::div(L::set(1.0f), areaPixels));
    L::store(&p[6][first], L::sub(L::add(L::toFloat(xmin), half), L::mul(L::toFloat(X[0]), sixteenth)));
    L::store(&p[7][first], L::sub(L::add(L::toFloat(ymin), half), L::mul(L::toFloat(Y[0]), sixteenth)));
    return true;
}
