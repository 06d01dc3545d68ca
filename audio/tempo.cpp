#include "audio/tempo.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <vector>

namespace {

constexpr double kMinSeconds = 3.0;        // shorter than this holds too few beats
constexpr double kOnsetRate = 86.0;        // onset-strength values per second, roughly
constexpr double kSearchSpan = 0.04;       // fine search: +-4 % around aubio's estimate
constexpr double kSearchStep = 0.05;       // bpm between the fine search's candidates
constexpr int kHarmonics = 4;              // beat, its halves, thirds and quarters
constexpr double kMinClarity = 5.0;        // below: no steady beat (see detect_tempo)
constexpr double kOctaveMargin = 2.0;      // how much more regular the double tempo must be
constexpr std::size_t kCancelEvery = 256;  // hops between looks at the cancel flag

template <typename T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Freer<T, Free>>;

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// The onset strength of each hop (aubio's spectral flux) and aubio's own
// tempo estimates along the song.
struct Analysis {
    std::vector<double> strength;
    std::vector<double> energy;     // the signal's energy in each hop
    std::vector<double> estimates;  // aubio's bpm at each beat it tracked
    double perSecond = 0;           // strength values per second
};

// Mono samples in -1..1, from float samples or from interleaved 16-bit
// frames whose channels are averaged.
struct Samples {
    const float* mono = nullptr;
    const int16_t* pcm = nullptr;
    int channels = 1;
    std::size_t frames = 0;

    void copy(std::size_t first, unsigned count, float* out) const {
        if (mono) {
            std::copy(mono + first, mono + first + count, out);
            return;
        }
        const float scale = 1.0f / (32768.0f * channels);
        for (unsigned i = 0; i < count; i++) {
            const int16_t* f = pcm + (first + i) * channels;
            int sum = 0;
            for (int c = 0; c < channels; c++) sum += f[c];
            out[i] = static_cast<float>(sum) * scale;
        }
    }
};

bool analyse(const Samples& samples, int rate, const std::atomic<bool>* cancel, Analysis& a) {
    unsigned hop = 128;
    while (hop * 2 <= rate / kOnsetRate) hop *= 2;
    const unsigned window = hop * 2;
    a.perSecond = static_cast<double>(rate) / hop;

    Owned<aubio_tempo_t, del_aubio_tempo> tempo(new_aubio_tempo("default", window, hop, rate));
    Owned<aubio_pvoc_t, del_aubio_pvoc> pvoc(new_aubio_pvoc(window, hop));
    Owned<aubio_specdesc_t, del_aubio_specdesc> flux(new_aubio_specdesc("specflux", window));
    Owned<fvec_t, del_fvec> in(new_fvec(hop));
    Owned<fvec_t, del_fvec> beat(new_fvec(2));
    Owned<fvec_t, del_fvec> value(new_fvec(1));
    Owned<cvec_t, del_cvec> spectrum(new_cvec(window));
    if (!tempo || !pvoc || !flux || !in || !beat || !value || !spectrum) return false;

    const std::size_t hops = samples.frames / hop;
    a.strength.reserve(hops);
    a.energy.reserve(hops);
    for (std::size_t h = 0; h < hops; h++) {
        if (h % kCancelEvery == 0 && cancelled(cancel)) return false;
        samples.copy(h * hop, hop, in->data);
        aubio_tempo_do(tempo.get(), in.get(), beat.get());
        if (beat->data[0] != 0) {
            const double bpm = aubio_tempo_get_bpm(tempo.get());
            if (bpm > 0) a.estimates.push_back(bpm);
        }
        aubio_pvoc_do(pvoc.get(), in.get(), spectrum.get());
        aubio_specdesc_do(flux.get(), spectrum.get(), value.get());
        a.strength.push_back(value->data[0]);
        double e = 0;
        for (unsigned i = 0; i < hop; i++) e += static_cast<double>(in->data[i]) * in->data[i];
        a.energy.push_back(e);
    }
    return true;
}

// Keeps the rises of the onset strength above its local mean (one second
// around), so that loudness changes do not count as periodicity.
std::vector<double> onset_peaks(const std::vector<double>& s, double perSecond) {
    const std::size_t n = s.size();
    const std::size_t half = static_cast<std::size_t>(perSecond / 2);
    std::vector<double> prefix(n + 1, 0.0);
    for (std::size_t i = 0; i < n; i++) prefix[i + 1] = prefix[i] + s[i];
    std::vector<double> d(n);
    for (std::size_t i = 0; i < n; i++) {
        const std::size_t lo = i > half ? i - half : 0, hi = std::min(n, i + half + 1);
        d[i] = std::max(0.0, s[i] - (prefix[hi] - prefix[lo]) / (hi - lo));
    }
    return d;
}

// The strength of the onsets' periodicity at `bpm`: the magnitudes of their
// Fourier sums at the beat frequency and its first harmonics.
double comb(const std::vector<double>& d, double perSecond, double bpm, int harmonics = kHarmonics) {
    double total = 0;
    for (int h = 1; h <= harmonics; h++) {
        const double step = -2.0 * M_PI * h * bpm / 60.0 / perSecond;
        const std::complex<double> turn(std::cos(step), std::sin(step));
        std::complex<double> phase(1.0, 0.0), sum(0.0, 0.0);
        for (std::size_t t = 0; t < d.size(); t++) {
            sum += d[t] * phase;
            phase *= turn;
            if ((t & 1023) == 1023) phase /= std::abs(phase);  // keep the rotation on the unit circle
        }
        total += std::abs(sum);
    }
    return total;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

TempoEstimate estimate(const Samples& samples, int rate, const std::atomic<bool>* cancel) {
    TempoEstimate result;
    if (rate < 1000 || samples.frames < kMinSeconds * rate) return result;
    Analysis a;
    if (!analyse(samples, rate, cancel, a)) {
        result.cancelled = cancelled(cancel);
        return result;
    }
    if (a.estimates.size() < 4) return result;
    const double coarse = median(a.estimates);

    const std::vector<double> d = onset_peaks(a.strength, a.perSecond);
    double sum = 0;
    for (double v : d) sum += v;
    if (!(sum > 0)) return result;

    // The fine search, then a parabola through the best candidate and its
    // neighbours.
    const int steps = static_cast<int>(coarse * kSearchSpan / kSearchStep);
    std::vector<double> score(2 * steps + 1);
    int best = 0;
    for (int i = -steps; i <= steps; i++) {
        if (i % 16 == 0 && cancelled(cancel)) {
            result.cancelled = true;
            return result;
        }
        score[i + steps] = comb(d, a.perSecond, coarse + i * kSearchStep);
        if (score[i + steps] > score[best + steps]) best = i;
    }
    double bpm = coarse + best * kSearchStep;
    if (best > -steps && best < steps) {
        const double l = score[best + steps - 1], c = score[best + steps], r = score[best + steps + 1];
        const double bend = l - 2 * c + r;
        if (bend < 0) bpm += kSearchStep * 0.5 * (l - r) / bend;
    }
    // aubio may settle on half the beat of a fast song. The beat is where the
    // loud onsets repeat, so the rises of the signal's energy decide: twice
    // the tempo when they repeat clearly more regularly at it.
    std::vector<double> rises(a.energy.size(), 0.0);
    for (std::size_t i = 1; i < rises.size(); i++) rises[i] = std::max(0.0, a.energy[i] - a.energy[i - 1]);
    if (comb(rises, a.perSecond, 2 * bpm, 1) > kOctaveMargin * comb(rises, a.perSecond, bpm, 1))
        bpm *= 2;

    // How far the onsets' periodicity at the tempo (and its harmonics, for
    // the off-beats) stands above what the same onsets at random times would
    // give, the square root of the sum of their squares: noise stays near 1
    // to 3, a steady beat grows with the square root of the number of beats.
    double energy = 0;
    const double harmonics = comb(d, a.perSecond, bpm) / kHarmonics;
    for (double v : d) energy += v * v;
    result.clarity = harmonics / std::sqrt(energy);
    result.bpm = bpm;
    result.found = result.clarity >= kMinClarity;
    return result;
}

}  // namespace

TempoEstimate detect_tempo(const float* mono, std::size_t frames, int rate, const std::atomic<bool>* cancel) {
    if (!mono) return {};
    Samples s;
    s.mono = mono;
    s.frames = frames;
    return estimate(s, rate, cancel);
}

TempoEstimate detect_tempo(const int16_t* samples, std::size_t frames, int channels, int rate,
                           const std::atomic<bool>* cancel) {
    if (!samples || channels < 1) return {};
    Samples s;
    s.pcm = samples;
    s.channels = channels;
    s.frames = frames;
    return estimate(s, rate, cancel);
}
