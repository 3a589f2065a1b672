#include "edit/ResampleFilter.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PELMORA_AVX2_SUM 1
#endif

namespace pelmora {

namespace {

// The filter's two constants, as the design has always used them: not full-precision pi.
constexpr double kTwoPi = 6.28318530716;
constexpr double kPi = 3.14159265358;

}  // namespace

double BesselI0(double x) {
    double sum = 1;
    double term = 1;  // (x / 2)^k / k!
    for (int k = 1; k <= 19; ++k) {
        term *= (x / 2) / k;
        sum += term * term;
    }
    return sum;
}

double KaiserBeta(double attenuation) {
    if (attenuation <= 21) return 0;
    if (attenuation < 50) return 0.5842 * std::pow(attenuation - 21, 0.4) + 0.07886 * (attenuation - 21);
    return 0.1102 * (attenuation - 8.7);
}

std::vector<double> DesignResampleTable(int order, int rejection, std::uint32_t oldRate, std::uint32_t newRate) {
    const int n = order;
    const int half = n / 2;
    const double beta = KaiserBeta(-static_cast<double>(rejection));
    const double fc = oldRate < newRate ? 0.5 / kResamplePhases
                                        : (newRate * 0.5) / (static_cast<double>(kResamplePhases) * oldRate);
    std::vector<double> h(static_cast<std::size_t>(half) + 1);
    h[0] = 2 * fc;
    for (int m = 1; m <= half; ++m) h[m] = std::sin(m * fc * kTwoPi) / (m * kPi);
    const double i0Beta = BesselI0(beta);
    for (int m = 0; m <= half; ++m) {
        // r uses N × 0.5, not (N − 1) / 2: the outermost tap keeps a little weight.
        const double r = m / (n * 0.5);
        h[m] *= BesselI0(beta * std::sqrt(1 - r * r)) / i0Beta;
    }
    double s = h[0];
    for (int m = 1; m <= half; ++m) s += 2 * h[m];
    for (double& v : h) v /= s;
    std::vector<double> t(static_cast<std::size_t>(n) + 1, 0.0);
    const int centre = (n - 1) / 2;
    for (int m = 0; m <= half; ++m) {
        t[centre + m] = kResamplePhases * h[m];
        t[centre - m] = t[centre + m];
    }
    return t;
}

void TapsForOutput(const std::vector<double>& table, int order, double step, std::uint64_t j, ResampleTaps& taps) {
    const int l = kResamplePhases;
    const double tau = static_cast<double>(j) * step;
    const auto i = static_cast<std::int64_t>(tau);
    const double phi = tau - static_cast<double>(i);
    const double p = (1 - phi) * l;
    const auto ph = static_cast<int>(p);
    const double f = p - ph;
    const double g = 1 - f;
    const int k = (order - 1) / l;
    const int h = ((order - 1) / 2) / l;
    taps.first = i - h;
    taps.c.resize(static_cast<std::size_t>(k));
    for (int q = 0; q < k; ++q) {
        const std::size_t at = static_cast<std::size_t>(ph + q * l);
        taps.c[static_cast<std::size_t>(q)] = f * table[at + 1] + g * table[at];
    }
}

std::int32_t Accumulate8Or24(const std::int32_t* x, const double* c, int count, int bytesPerSample) {
    double acc = 0;
    for (int k = 0; k < count; ++k) acc += x[k] * c[k];
    const double limit = bytesPerSample == 1 ? 127 : 8388607;
    const double rounded = std::trunc(acc + 0.5);
    return static_cast<std::int32_t>(std::clamp(rounded, -limit - 1, limit));
}

std::int32_t Accumulate16(const std::int32_t* x, const double* c, int count) {
    // 64 bits: loud material would wrap a 32-bit sum.
    std::int64_t a = 0;
    for (int k = 0; k < count; ++k) a += static_cast<std::int64_t>(static_cast<double>(x[k] * 32768) * c[k]);
    const std::int64_t v = (a >> 15) + ((a >> 14) & 1);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

namespace {

// The 16-bit result from the exact sum of the truncated terms.
std::int32_t Round16(double sum) {
    const auto a = static_cast<std::int64_t>(sum);
    const std::int64_t v = (a >> 15) + ((a >> 14) & 1);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

}  // namespace

std::int32_t Accumulate16Scaled(const double* scaled, const double* c, int count) {
    double sum = 0;
    int k = 0;
#if defined(__SSE2__)
    __m128d sum0 = _mm_setzero_pd(), sum1 = _mm_setzero_pd(), sum2 = _mm_setzero_pd(), sum3 = _mm_setzero_pd();
    // Four sums in flight hide the latency of the conversions.
    for (; k + 8 <= count; k += 8) {
        const __m128d p0 = _mm_mul_pd(_mm_loadu_pd(scaled + k), _mm_loadu_pd(c + k));
        const __m128d p1 = _mm_mul_pd(_mm_loadu_pd(scaled + k + 2), _mm_loadu_pd(c + k + 2));
        const __m128d p2 = _mm_mul_pd(_mm_loadu_pd(scaled + k + 4), _mm_loadu_pd(c + k + 4));
        const __m128d p3 = _mm_mul_pd(_mm_loadu_pd(scaled + k + 6), _mm_loadu_pd(c + k + 6));
        sum0 = _mm_add_pd(sum0, _mm_cvtepi32_pd(_mm_cvttpd_epi32(p0)));
        sum1 = _mm_add_pd(sum1, _mm_cvtepi32_pd(_mm_cvttpd_epi32(p1)));
        sum2 = _mm_add_pd(sum2, _mm_cvtepi32_pd(_mm_cvttpd_epi32(p2)));
        sum3 = _mm_add_pd(sum3, _mm_cvtepi32_pd(_mm_cvttpd_epi32(p3)));
    }
    sum0 = _mm_add_pd(sum0, sum2);
    sum1 = _mm_add_pd(sum1, sum3);
    for (; k + 4 <= count; k += 4) {
        const __m128d p0 = _mm_mul_pd(_mm_loadu_pd(scaled + k), _mm_loadu_pd(c + k));
        const __m128d p1 = _mm_mul_pd(_mm_loadu_pd(scaled + k + 2), _mm_loadu_pd(c + k + 2));
        sum0 = _mm_add_pd(sum0, _mm_cvtepi32_pd(_mm_cvttpd_epi32(p0)));
        sum1 = _mm_add_pd(sum1, _mm_cvtepi32_pd(_mm_cvttpd_epi32(p1)));
    }
    double lanes[2];
    _mm_storeu_pd(lanes, _mm_add_pd(sum0, sum1));
    sum = lanes[0] + lanes[1];
#endif
    for (; k < count; ++k) sum += static_cast<double>(static_cast<std::int32_t>(scaled[k] * c[k]));
    return Round16(sum);
}

namespace {

#if defined(PELMORA_AVX2_SUM)
__attribute__((target("avx2"))) std::int32_t Accumulate16ScaledAvx2(const double* scaled, const double* c, int count) {
    __m256d sum0 = _mm256_setzero_pd(), sum1 = _mm256_setzero_pd();
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256d p0 = _mm256_mul_pd(_mm256_loadu_pd(scaled + k), _mm256_loadu_pd(c + k));
        const __m256d p1 = _mm256_mul_pd(_mm256_loadu_pd(scaled + k + 4), _mm256_loadu_pd(c + k + 4));
        sum0 = _mm256_add_pd(sum0, _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(p0)));
        sum1 = _mm256_add_pd(sum1, _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(p1)));
    }
    double lanes[4];
    _mm256_storeu_pd(lanes, _mm256_add_pd(sum0, sum1));
    double sum = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; k < count; ++k) sum += static_cast<double>(static_cast<std::int32_t>(scaled[k] * c[k]));
    return Round16(sum);
}
#endif

}  // namespace

ScaledAccumulator FastestAccumulate16Scaled() {
#if defined(PELMORA_AVX2_SUM)
    if (__builtin_cpu_supports("avx2")) return Accumulate16ScaledAvx2;
#endif
    return Accumulate16Scaled;
}

bool TableWithinUnit(const std::vector<double>& table) {
    return std::all_of(table.begin(), table.end(), [](double v) { return v >= -1.0 && v <= 1.0; });
}

std::int32_t Accumulate32(const std::int32_t* x, const double* c, int count) {
    double acc = 0;
    for (int k = 0; k < count; ++k) {
        const double term = x[k] * c[k];
        const double scaled = std::trunc((acc + term) / 65535);
        if (scaled > 32767) return static_cast<std::int32_t>(2147483648.0 - 0.5);
        if (scaled < -32768) return static_cast<std::int32_t>(-2147483648.0 + 0.5);
        acc += term;
    }
    const double rounded = std::trunc(acc + 0.5);
    return static_cast<std::int32_t>(std::clamp(rounded, -2147483648.0, 2147483647.0));
}

}  // namespace pelmora
