// Functions whose loops run several values at a time are built twice: for
// processors with AVX2 (four doubles wide) and for every other x86-64 (two
// wide); the loader picks one. Both do the same rounded operations in the
// same order (AVX2 brings no fused multiply-add and contraction is off), so
// they give the same bits. The sanitizer build makes only the plain one, so
// that its tests cover what processors without AVX2 run.
#pragma once

#if defined(WELLENSCHAU_PLAIN_BUILD_ONLY)
#define WELLENSCHAU_ALSO_FOR_AVX2
#else
#define WELLENSCHAU_ALSO_FOR_AVX2 [[gnu::target_clones("avx2", "default")]]
#endif
