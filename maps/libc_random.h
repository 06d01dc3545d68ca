// The C library's rand() sequence, reproduced with a state of its own.
//
// The plasma's pictures are defined by the rand() values that follow
// srand(seed) in the GNU C library: its default additive feedback generator
// (31 words, taps 3 and 31). rand() takes a lock on every call; the plasma
// draws twenty thousand numbers per picture, so it keeps its own copy of the
// generator, seeded the same way, which gives the same numbers without the
// lock and without touching the library's own state.
#pragma once

#include <cstdint>

class LibcRandom {
public:
    // The state srand(seed) leaves behind.
    explicit LibcRandom(unsigned seed);

    // The value rand() would return next (0 .. RAND_MAX).
    int next() {
        const uint32_t word = ring_[(count_ + 1) & 31] + ring_[(count_ - 3) & 31];
        ring_[count_ & 31] = word;
        count_++;
        return static_cast<int>(word >> 1);
    }

private:
    // Word k of the sequence lives in slot k mod 32; the next word needs the
    // ones 31 and 3 places back, so 32 slots are enough.
    uint32_t ring_[32];
    uint32_t count_;  // index of the next word
};
