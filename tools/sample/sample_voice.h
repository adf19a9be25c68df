#pragma once
// Invented voice calls for the sample disc: a few syllables of a pitched buzz shaped by vowel
// resonances and a volume envelope; each variant has its own pitch, vowels and rhythm.

#include <cstdint>
#include <vector>

namespace tarvo::sample {

inline constexpr std::uint32_t kVoiceSampleRate = 22050;
inline constexpr std::int16_t kVoicePeak = 12000;  // loudest sample of a clip

// Mono 16-bit samples at kVoiceSampleRate, about 0.8 to 2 seconds long; the same for the same
// variant on every run.
std::vector<std::int16_t> makeVoiceClip(int variant);

}  // namespace tarvo::sample
