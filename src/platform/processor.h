// What the processor offers beyond the baseline the program is built for,
// asked at run time, so that one build runs everywhere and uses more where
// it can.
#pragma once

// QUORBIX_AVX2_PATHS: defined where code may carry AVX2 paths beside its
// baseline ones (x86-64, GCC or clang). Not in the Windows build: its
// compiler does not keep 32-byte values on the stack aligned.
#if defined(__SSE2__) && defined(__x86_64__) && !defined(_WIN32) && (defined(__GNUC__) || defined(__clang__))
#define QUORBIX_AVX2_PATHS 1
#endif

namespace quorbix::platform {

// True when AVX2 paths are built and the processor has AVX2 (asked once).
bool hasAvx2();

}  // namespace quorbix::platform
