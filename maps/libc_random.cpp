#include "maps/libc_random.h"

LibcRandom::LibcRandom(unsigned seed) {
    // Words 0..30: the seed (0 counts as 1) and the Park-Miller sequence
    // 16807^k x seed mod (2^31 - 1), on the seed read as a signed word.
    uint32_t words[34];
    int32_t word = static_cast<int32_t>(seed == 0 ? 1u : seed);
    words[0] = static_cast<uint32_t>(word);
    for (int k = 1; k < 31; k++) {
        // Schrage's split keeps the product within 32 bits, as the library does.
        const int64_t hi = word / 127773;
        const int64_t lo = word % 127773;
        int64_t next = 16807 * lo - 2836 * hi;
        if (next < 0) next += 2147483647;
        word = static_cast<int32_t>(next);
        words[k] = static_cast<uint32_t>(word);
    }
    // Words 31..33 repeat words 0..2; from word 34 on each word is the sum of
    // the words 31 and 3 places back.
    for (int k = 31; k < 34; k++) words[k] = words[k - 31];
    for (int k = 0; k < 34; k++) ring_[k & 31] = words[k];
    count_ = 34;
    // srand throws away the first 310 sums.
    for (int k = 0; k < 310; k++) next();
}
