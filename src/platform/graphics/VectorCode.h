#pragma once

// The hot pixel loops are written as plain loops over fixed-size blocks, which the compiler
// vectorises. On x86-64 they are also built a second time for x86-64-v3 (AVX2 and FMA, twice
// the lanes), and the loader picks the build the running processor can execute; elsewhere,
// and with Clang, there is the one build.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__linux__)
#define MORVANE_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define MORVANE_VECTOR_CLONES
#endif

// Helpers of those loops, inlined into each build so that each uses its own instructions.
#define MORVANE_ALWAYS_INLINE inline __attribute__((always_inline))
