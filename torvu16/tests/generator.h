/*
 * A seeded generator for the tests that compare the library with the C
 * library over many generated cases: the same seed gives the same cases on
 * every run, so a failure can be reproduced from its case number.
 */
#ifndef TORVU16_TESTS_GENERATOR_H
#define TORVU16_TESTS_GENERATOR_H

#include <stdint.h>

typedef struct Generator {
    uint64_t state;
} Generator;

/* xorshift64*: fast, and good enough to spread cases over their space. */
static inline uint64_t GenNext(Generator* g) {
    g->state ^= g->state >> 12;
    g->state ^= g->state << 25;
    g->state ^= g->state >> 27;
    return g->state * 0x2545F4914F6CDD1DULL;
}

/* A value in [0, n). */
static inline unsigned GenBelow(Generator* g, unsigned n) {
    return (unsigned)(GenNext(g) % n);
}

/* One of the n strings of a table. */
#define GEN_PICK(g, table) ((table)[GenBelow((g), sizeof(table) / sizeof((table)[0]))])

#endif /* TORVU16_TESTS_GENERATOR_H */
