// The pseudo-random generator of SeedRandom and NextRandom: a 64-bit xorshift* generator of
// our own, so that a seed gives the same draws on every system. The headless device can fix
// the next seed (OverrideNextSeed) to make an automated play repeatable.
#include <cstdint>

#include "platform/device.h"
#include "platform/platform.h"

namespace plat {
namespace {

uint64_t State = 0x9E3779B97F4A7C15ull;
bool SeedOverridden = false;
uint32_t OverrideSeed = 0;

// Spreads the seed's bits so that neighbouring seeds start far apart; never yields 0,
// which xorshift cannot leave.
uint64_t MixSeed(uint32_t seed) {
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return z != 0 ? z : 0x9E3779B97F4A7C15ull;
}

}  // namespace

void SeedRandom(uint32_t seed) {
    if (SeedOverridden) {
        seed = OverrideSeed;
        SeedOverridden = false;
    }
    State = MixSeed(seed);
}

int32_t NextRandom() {
    State ^= State >> 12;
    State ^= State << 25;
    State ^= State >> 27;
    return static_cast<int32_t>((State * 0x2545F4914F6CDD1Dull) >> 33);  // the top 31 bits
}

void device::OverrideNextSeed(uint32_t seed) {
    OverrideSeed = seed;
    SeedOverridden = true;
}

}  // namespace plat
