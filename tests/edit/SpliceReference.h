#pragma once
// Pitch Shift and Time Comp/Exp written once more from their steps, sample by sample on the whole
// sound in memory, for the frame-for-frame comparison with the streaming code. `risingWeights`
// gives the splice crossfades of pitch up and expansion the direction of the original steps
// (from the repeated copy towards the original); the editor runs them the other way.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "AmplitudeTestBed.h"

namespace pelmora::test::reference {

inline std::int64_t I(double v) { return static_cast<std::int64_t>(v); }

// The first frame of [from, to) with the largest sum, or -1 for an empty window.
template <typename Sum>
std::int64_t Strongest(std::int64_t from, std::int64_t to, Sum sum) {
    std::int64_t best = -1, bestSum = 0;
    for (std::int64_t j = from; j < to; ++j)
        if (best < 0 || sum(j) > bestSum) best = j, bestSum = sum(j);
    return best;
}

// ---- Pitch Shift ----

inline void PitchSegmentUp(std::vector<std::int64_t>& x, std::int64_t len, std::int64_t seg, std::int64_t fade,
                           double r, const EditScope& sc, bool risingWeights) {
    const double step = 1;
    double f = 0;
    std::int64_t p = 0;
    for (std::int64_t k = 0; k < seg; ++k) {
        const std::int64_t q = std::min(p, len - 2);
        x[k] = sc.Clamp(I(x[q + 1] * f) + I(x[q] * (1 - f)));
        f += r - step;
        p += 1;
        if (f > 1.0) f -= 1, p += 1;
    }
    f = 0;
    p = len;
    for (std::int64_t j = len - 1; j >= 2 * seg; --j) {
        f -= r - step;
        p -= 1;
        if (f <= 0) f += 1, p -= 1;
        const std::int64_t q = std::max<std::int64_t>(p, 0);
        x[j] = sc.Clamp(I(x[q + 1] * f) + I(x[q] * (1 - f)));
    }
    double w = 0;
    const double dw = 1.0 / static_cast<double>(seg + fade);
    for (std::int64_t k = 0; k < seg; ++k, w += dw) {
        const double a = risingWeights ? w : 1 - w, b = risingWeights ? 1 - w : w;
        x[seg + k] = sc.Clamp(I(x[2 * seg + k] * a) + I(x[k] * b));
    }
    for (std::int64_t k = 0; k < fade; ++k, w += dw) {
        const double a = risingWeights ? w : 1 - w, b = risingWeights ? 1 - w : w;
        x[2 * seg + k] = sc.Clamp(I(x[3 * seg + k] * a) + I(x[2 * seg + k] * b));
    }
}

inline void PitchSegmentDown(std::vector<std::int64_t>& x, std::int64_t len, std::int64_t d, std::int64_t fade,
                             double r, const EditScope& sc) {
    double w = 0;
    for (std::int64_t i = fade - 1; i >= 0; --i, w += 1.0 / static_cast<double>(fade))
        x[d + i] = sc.Clamp(I(x[i] * w) + I(x[d + i] * (1 - w)));
    double f = 0;
    std::int64_t p = d;
    for (std::int64_t k = 0; k <= len - 2; ++k) {
        const std::int64_t q = std::min(p, len - 2);
        x[k] = sc.Clamp(I(x[q + 1] * f) + I(x[q] * (1 - f)));
        f += r;
        if (f >= 1.0) f -= 1, p += 1;
    }
}

inline void PitchShift(SampleGrid& g, const EditScope& sc, double rate, bool risingWeights = false) {
    const double r = rate / 100;
    const bool up = r > 1;
    const std::int64_t W = up ? I(20000 - (r - 1.01) * 62500.00000000001) : I((r - 0.99) * 62500.00000000001 + 20000);
    std::int64_t pos = sc.start;
    while (pos < sc.end) {
        const std::int64_t n = std::min<std::int64_t>(32768, sc.end - pos);
        const bool last = pos + n == sc.end;
        std::vector<std::int64_t> sums(static_cast<std::size_t>(n));
        for (std::int64_t j = 0; j < n; ++j)
            for (int ch = sc.channelFirst; ch < sc.channelEnd; ++ch) sums[j] += g.At(static_cast<std::uint32_t>(pos + j), ch);
        std::int64_t done = 0, next = n;
        while (done < n) {
            const std::int64_t rem = n - done, base = done;
            std::int64_t len, seg, fade;
            if (0 < W && W < rem) {
                const double change = up ? r - 1 : 1 - r;
                const std::int64_t E = I(W * change);
                const auto sum = [&](std::int64_t j) { return sums[base + j]; };
                std::int64_t b1 = Strongest(0, I(E * 0.3), sum);
                if (b1 < 0) b1 = 0;
                std::int64_t b2 = Strongest(I(E * 0.7 + b1), I(std::min(E * 1.3 + b1, rem * change)), sum);
                if (b2 < 0) b2 = b1 + E;
                const std::int64_t D = b2 - b1;
                if (up) {
                    seg = I(D / r);
                    len = I(seg * r / (r - 1));
                    if (seg <= 0 || len > rem) seg = I(rem * (r - 1) / r), len = rem;
                } else {
                    seg = D;
                    if (D <= 0 || I(D / (1 - r)) > rem) len = rem, seg = I(rem * (1 - r));
                    else len = I(D / (1 - r));
                }
            } else {
                if (!last) {
                    next = done;
                    break;
                }
                len = rem;
                seg = up ? I((1 - 1 / r) * rem) : I(rem * (1 - r));
            }
            fade = up ? I((len - 3 * seg) * 0.3) : I((len - seg) * 0.8);
            if (fade <= 0 || seg <= 0 || len <= 0) break;
            for (int ch = sc.channelFirst; ch < sc.channelEnd; ++ch) {
                std::vector<std::int64_t> x(static_cast<std::size_t>(len));
                for (std::int64_t j = 0; j < len; ++j) x[j] = g.At(static_cast<std::uint32_t>(pos + base + j), ch);
                if (up) PitchSegmentUp(x, len, seg, fade, r, sc, risingWeights);
                else PitchSegmentDown(x, len, seg, fade, r, sc);
                for (std::int64_t j = 0; j < len; ++j) g.At(static_cast<std::uint32_t>(pos + base + j), ch) = x[j];
            }
            done += len;
        }
        pos += next;
    }
}

// ---- Time Comp/Exp: every channel of frames [s, e) becomes m frames ----

using Channels = std::vector<std::vector<std::int64_t>>;

inline std::int64_t Sum(const Channels& x, std::int64_t frame) {
    std::int64_t s = 0;
    for (const auto& c : x) s += c[frame];
    return s;
}

// Output frames [o, o + n) from input [i, i + d + n) of every channel.
inline void Compress(const Channels& in, Channels& out, std::int64_t i, std::int64_t o, std::int64_t d, std::int64_t n,
                     const EditScope& sc) {
    const std::int64_t fade = d == 0 ? 0 : I(n * 0.2);
    for (std::size_t c = 0; c < in.size(); ++c) {
        double w = 0;
        for (std::int64_t k = 0; k < n; ++k) {
            if (k < fade) {
                out[c][o + k] = sc.Clamp(I(in[c][i + d + k] * w + in[c][i + k] * (1 - w)));
                w += 1.0 / static_cast<double>(fade);
            } else {
                out[c][o + k] = in[c][i + d + k];
            }
        }
    }
}

// Output frames [o, o + W + d) from input [i, i + W), 2d <= W.
inline void ExpandOnce(const std::vector<std::int64_t>& in, std::int64_t i, std::vector<std::int64_t>& out, std::int64_t o,
                       std::int64_t W, std::int64_t d, const EditScope& sc, bool risingWeights) {
    for (std::int64_t k = 0; k < d; ++k) out[o + k] = in[i + k];
    for (std::int64_t k = d; k < W; ++k) out[o + d + k] = in[i + k];
    if (d == 0) return;
    const std::int64_t fade = std::max<std::int64_t>(0, I((W - 2 * d) * 0.2));
    double w = 0;
    for (std::int64_t k = 0; k < d; ++k, w += 1.0 / static_cast<double>(d + fade)) {
        const double a = risingWeights ? w : 1 - w, b = risingWeights ? 1 - w : w;
        out[o + d + k] = sc.Clamp(I(out[o + 2 * d + k] * a + out[o + k] * b));
    }
    for (std::int64_t k = 0; k < fade; ++k, w += 1.0 / static_cast<double>(d + fade)) {
        const double a = risingWeights ? w : 1 - w, b = risingWeights ? 1 - w : w;
        out[o + 2 * d + k] = sc.Clamp(I(out[o + 3 * d + k] * a + out[o + 2 * d + k] * b));
    }
}

// A remainder longer than half its input again grows by half at a time.
inline void Expand(const Channels& in, std::int64_t i, Channels& out, std::int64_t o, std::int64_t W, std::int64_t d,
                   const EditScope& sc, bool risingWeights) {
    for (std::size_t c = 0; c < in.size(); ++c) {
        std::vector<std::int64_t> cur(in[c].begin() + i, in[c].begin() + i + W);
        std::int64_t need = d;
        while (need > 0) {
            const auto len = static_cast<std::int64_t>(cur.size());
            const std::int64_t step = std::min(need, len / 2);
            if (step == 0) {
                cur.resize(static_cast<std::size_t>(len + need), cur.empty() ? 0 : cur.back());
                break;
            }
            std::vector<std::int64_t> grown(static_cast<std::size_t>(len + step));
            ExpandOnce(cur, 0, grown, 0, len, step, sc, risingWeights);
            cur = grown;
            need -= step;
        }
        std::copy(cur.begin(), cur.end(), out[c].begin() + o);
    }
}

inline void TimeChange(SampleGrid& g, std::uint32_t s, std::uint32_t e, std::uint32_t modified, const EditScope& sc,
                       bool risingWeights = false) {
    const std::int64_t n0 = e - s, m0 = modified;
    const double q = static_cast<double>(m0) / static_cast<double>(n0);
    Channels in(g.channels, std::vector<std::int64_t>(static_cast<std::size_t>(n0)));
    Channels out(g.channels, std::vector<std::int64_t>(static_cast<std::size_t>(m0)));
    for (int c = 0; c < g.channels; ++c)
        for (std::int64_t j = 0; j < n0; ++j) in[c][j] = g.At(static_cast<std::uint32_t>(s + j), c);
    std::int64_t remIn = n0, remOut = m0, inPos = 0, outPos = 0;
    if (q < 1) {
        const std::int64_t W = I((q - 0.99) * 72916.66666666667 + 20000);
        const std::int64_t F = std::min<std::int64_t>(n0, 32768);
        while (remOut > 0) {
            const bool last = remIn <= F;
            const std::int64_t cin = last ? remIn : F;
            const std::int64_t cout = last ? remOut : I(F * (static_cast<double>(remOut) / remIn));
            std::int64_t i0 = 0, o0 = 0;
            while (o0 < cout) {
                const std::int64_t ri = cin - i0, ro = cout - o0;
                std::int64_t D, out_;
                if (W < 1 || ri < W) {
                    if (!last) break;
                    D = ri - ro, out_ = ro;
                } else {
                    const std::int64_t E = I(W * (1 - q));
                    const auto sum = [&](std::int64_t j) { return Sum(in, inPos + i0 + j); };
                    std::int64_t b1 = Strongest(0, I(E * 0.2), sum);
                    if (b1 < 0) b1 = 0;
                    std::int64_t b2 = Strongest(I(E * 0.8 + b1), I(std::min(E * 1.2 + b1, (1 - q) * ri)), sum);
                    if (b2 < 0) b2 = b1 + E;
                    D = b2 - b1;
                    out_ = D == 0 ? W : I(q / (1 - q) * D);
                    if (D + out_ > ri || out_ >= ro || D > ri - ro) D = ri - ro, out_ = ro;
                }
                Compress(in, out, inPos + i0, outPos + o0, D, out_, sc);
                i0 += D + out_;
                o0 += out_;
            }
            inPos += i0, outPos += o0, remIn -= i0, remOut -= o0;
            if (last) break;
        }
    } else {
        const std::int64_t Wt = I(20000 - (q - 1.01) * 72916.66666666667);
        const std::int64_t F = std::min<std::int64_t>(m0, 32768);
        while (remOut > 0) {
            const bool last = remOut <= F;
            const std::int64_t cout = last ? remOut : F;
            const std::int64_t cin = last ? remIn : I(F * (static_cast<double>(remIn) / remOut));
            const std::int64_t inBase = remIn - cin, outBase = remOut - cout;
            std::int64_t i = cin, o = cout;
            while (o > 0) {
                std::int64_t W = Wt, D, out_;
                if (W < 1 || W > i) {
                    if (!last) break;
                    W = i, out_ = o, D = o - i;
                } else {
                    const std::int64_t E = I(W * (q - 1));
                    const auto sum = [&](std::int64_t j) { return Sum(in, inBase + j); };
                    std::int64_t from = std::max<std::int64_t>(0, (i - W) - I(0.3 * E));
                    std::int64_t b1 = Strongest(from, (i - W) + I(0.3 * E), sum);
                    if (b1 < 0) b1 = from;
                    std::int64_t b2 = Strongest(I(0.7 * E + b1), std::min(I(1.3 * E + b1), i), sum);
                    if (b2 < 0) b2 = b1 + E;
                    D = b2 - b1;
                    out_ = W;
                    if (D != 0) out_ = I(q / (q - 1) * D), W = out_ - D;
                    if (W >= i || out_ >= o || D > o - i) W = i, out_ = o, D = o - i;
                }
                Expand(in, inBase + i - W, out, outBase + o - out_, W, D, sc, risingWeights);
                i -= W;
                o -= out_;
            }
            remIn -= cin - i;
            remOut -= cout - o;
            if (last) break;
        }
    }
    SampleGrid result;
    result.channels = g.channels;
    const auto frames = static_cast<std::uint32_t>(g.values.size() / g.channels);
    for (std::uint32_t f = 0; f < s; ++f)
        for (int c = 0; c < g.channels; ++c) result.values.push_back(g.At(f, c));
    for (std::int64_t j = 0; j < m0; ++j)
        for (int c = 0; c < g.channels; ++c) result.values.push_back(out[c][j]);
    for (std::uint32_t f = e; f < frames; ++f)
        for (int c = 0; c < g.channels; ++c) result.values.push_back(g.At(f, c));
    g = result;
}

}  // namespace pelmora::test::reference
