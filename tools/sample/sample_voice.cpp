#include "sample_voice.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "sample_random.h"

namespace tarvo::sample {
namespace {

struct Vowel {
    std::array<double, 3> formants;  // Hz
};
// Rough resonances of a, e, i, o, u.
constexpr std::array<Vowel, 5> kVowels{
    {{{730, 1090, 2440}}, {{530, 1840, 2480}}, {{300, 2250, 3000}}, {{570, 840, 2410}}, {{320, 870, 2240}}}};
constexpr std::array<double, 3> kFormantWeights{1.0, 0.55, 0.25};
constexpr std::array<double, 3> kFormantBandwidths{90, 110, 150};

// A two-pole resonator, the usual model of one vocal tract resonance.
class Resonator {
public:
    void tune(double frequency, double bandwidth) {
        const double r = std::exp(-std::numbers::pi * bandwidth / kVoiceSampleRate);
        m_b1 = 2 * r * std::cos(2 * std::numbers::pi * frequency / kVoiceSampleRate);
        m_b2 = -r * r;
        m_gain = 1 - r;
    }
    double step(double x) {
        const double y = m_gain * x + m_b1 * m_y1 + m_b2 * m_y2;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

private:
    double m_b1 = 0, m_b2 = 0, m_gain = 0, m_y1 = 0, m_y2 = 0;
};

std::size_t samplesOf(double seconds) { return static_cast<std::size_t>(seconds * kVoiceSampleRate); }

}  // namespace

std::vector<std::int16_t> makeVoiceClip(int variant) {
    SampleRandom rng(0xC0FFEEull + static_cast<std::uint64_t>(variant) * 7919);
    const int syllables = rng.range(3, 5);
    const double basePitch = 95 + rng.unit() * 135;  // Hz

    std::vector<double> sound(samplesOf(0.05), 0.0);  // a short silence before the call
    std::array<Resonator, 3> resonators;
    double phase = 0, noiseState = 0;
    for (int s = 0; s < syllables; ++s) {
        const Vowel& vowel = kVowels[static_cast<std::size_t>(rng.range(0, 4))];
        for (std::size_t k = 0; k < resonators.size(); ++k)
            resonators[k].tune(vowel.formants[k] * (0.92 + rng.unit() * 0.16), kFormantBandwidths[k]);
        const double pitch = basePitch * (0.85 + rng.unit() * 0.3);
        const double glide = (s + 1 == syllables) ? -0.18 : (rng.unit() - 0.5) * 0.12;  // the last one falls
        const std::size_t length = samplesOf(0.17 + rng.unit() * 0.17);
        const std::size_t consonant = rng.chance(60) ? samplesOf(0.02 + rng.unit() * 0.03) : 0;
        const std::size_t attack = samplesOf(0.025), release = samplesOf(0.06);

        for (std::size_t n = 0; n < consonant; ++n) {  // a noise burst, high-passed
            const double noise = rng.unit() * 2 - 1;
            sound.push_back(0.15 * (noise - noiseState));
            noiseState = noise;
        }
        for (std::size_t n = 0; n < length; ++n) {
            const double t = static_cast<double>(n) / static_cast<double>(length);
            phase += pitch * (1 + glide * t) / kVoiceSampleRate;
            phase -= std::floor(phase);
            const double buzz = 1 - 2 * phase;  // a sawtooth: rich in harmonics like the voice
            double voiced = 0;
            for (std::size_t k = 0; k < resonators.size(); ++k) voiced += kFormantWeights[k] * resonators[k].step(buzz);
            double envelope = 1;
            if (n < attack) envelope = static_cast<double>(n) / static_cast<double>(attack);
            if (length - n < release)
                envelope = std::min(envelope, static_cast<double>(length - n) / static_cast<double>(release));
            sound.push_back(voiced * envelope);
        }
        sound.insert(sound.end(), samplesOf(0.03 + rng.unit() * 0.06), 0.0);  // the gap between syllables
    }
    sound.insert(sound.end(), samplesOf(0.08), 0.0);

    double peak = 0;
    for (double v : sound) peak = std::max(peak, std::abs(v));
    const double gain = peak > 0 ? kVoicePeak / peak : 0;
    std::vector<std::int16_t> samples(sound.size());
    std::transform(sound.begin(), sound.end(), samples.begin(),
                   [gain](double v) { return static_cast<std::int16_t>(std::lround(v * gain)); });
    return samples;
}

}  // namespace tarvo::sample
