// The reader's per-sample arithmetic: the inverse DCT (16-bit sums, Q15 constants, quotients
// truncated toward zero) and the sample-to-byte step of the colour conversion. The roundings
// are part of the result, so each fast form must agree with the plain one bit for bit; they
// run eight samples side by side in 16-bit lanes.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
// Two blocks side by side in 256-bit registers, where the processor has them (asked at run
// time, so the program still runs on any x86-64).
#define TEKU_PAIR_AVX2 1
#define TEKU_AVX2 __attribute__((target("avx2")))
#endif

#include "surface/jpeg_decoder_internal.h"

namespace teku {

namespace {

constexpr int kC1 = 32138, kS1 = 6393, kC2 = 30274, kS2 = 12540, kC3 = 27246, kS3 = 18205,
              kC4 = 23170;

inline std::int16_t M(int x, int c) { return static_cast<std::int16_t>((x * c + 32768) / 65536); }
inline std::int16_t N(int x, int c) { return static_cast<std::int16_t>((x * c + 16384) / 32768); }
inline std::int16_t S16(int x) { return static_cast<std::int16_t>(x); }

// The 8-point transform, halving, on the eight columns of `a` at once (x_k is row k).
void PlainColumns(std::int16_t* a) {
  for (int i = 0; i < 8; ++i) {
    const int x0 = a[i], x1 = a[8 + i], x2 = a[16 + i], x3 = a[24 + i];
    const int x4 = a[32 + i], x5 = a[40 + i], x6 = a[48 + i], x7 = a[56 + i];
    const std::int16_t P1 = S16(M(x3, kC3) + M(x5, kS3));
    const std::int16_t Q = S16(M(x5, kC3) - M(x3, kS3));
    const std::int16_t P3 = S16(M(x1, kC1) + M(x7, kS1));
    const std::int16_t P4 = S16(M(x1, kS1) - M(x7, kC1));
    const std::int16_t m1 = N(S16(P3 + P4 - P1 - Q), kC4);
    const std::int16_t m2 = N(S16(P3 - P4 - P1 + Q), kC4);
    const std::int16_t S = S16(P3 + P1);
    const std::int16_t T = S16(P4 + Q);
    const std::int16_t E1 = S16(M(x2, kC2) + M(x6, kS2));
    const std::int16_t E2 = S16(M(x2, kS2) - M(x6, kC2));
    const std::int16_t w = M(x0, kC4);
    const std::int16_t A = M(x4, kC4);
    const std::int16_t F = S16(w + A);
    const std::int16_t G = S16(w - A);
    a[i] = S16(F + E1 + S);
    a[8 + i] = S16(G + E2 + m1);
    a[16 + i] = S16(G - E2 + m2);
    a[24 + i] = S16(F - E1 + T);
    a[32 + i] = S16(F - E1 - T);
    a[40 + i] = S16(G - E2 - m2);
    a[48 + i] = S16(G + E2 - m1);
    a[56 + i] = S16(F + E1 - S);
  }
}

void Transpose(const std::int16_t* from, std::int16_t* to) {
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) to[c * 8 + r] = from[r * 8 + c];
  }
}

// A block whose only coefficient is the DC one: every row transform but the first sees
// zeros and gives zeros (M(0, c) is 0), so both passes reduce to one product each.
bool DcOnly(const std::int16_t* block) {
  std::int16_t any = 0;
  for (int k = 1; k < 64; ++k) any = static_cast<std::int16_t>(any | block[k]);
  return any == 0;
}

void FillDc(std::int16_t dc, std::int16_t* to) {
  const std::int16_t v = M(M(dc, kC4), kC4);
  for (int k = 0; k < 64; ++k) to[k] = v;
}

#if defined(__SSE2__)
// M(x, c) in eight lanes. The 32-bit product comes as its two 16-bit halves: adding 32768
// carries the low half's top bit into the high half, which is then the floor of the
// quotient; a negative quotient with a remainder moves one up, toward zero.
inline __m128i VecM(__m128i x, __m128i c) {
  const __m128i lo = _mm_mullo_epi16(x, c);
  const __m128i floor = _mm_add_epi16(_mm_mulhi_epi16(x, c), _mm_srli_epi16(lo, 15));
  // (p + 32768) mod 65536 is zero when the low half is 0x8000.
  const __m128i exact = _mm_cmpeq_epi16(lo, _mm_set1_epi16(-32768));
  return _mm_sub_epi16(floor, _mm_andnot_si128(exact, _mm_srai_epi16(floor, 15)));
}

// N(x, c): the same with 16384 and a division by 32768, so the floor is twice the high half
// plus the carries out of the low half's top two bits.
inline __m128i VecN(__m128i x, __m128i c) {
  const __m128i lo = _mm_mullo_epi16(x, c);
  const __m128i hi = _mm_mulhi_epi16(x, c);
  const __m128i carry = _mm_add_epi16(_mm_srli_epi16(lo, 15),
                                      _mm_and_si128(_mm_srli_epi16(lo, 14), _mm_set1_epi16(1)));
  const __m128i floor = _mm_add_epi16(_mm_add_epi16(hi, hi), carry);
  const __m128i remainder =
      _mm_and_si128(_mm_add_epi16(lo, _mm_set1_epi16(16384)), _mm_set1_epi16(0x7FFF));
  const __m128i exact = _mm_cmpeq_epi16(remainder, _mm_setzero_si128());
  return _mm_sub_epi16(floor, _mm_andnot_si128(exact, _mm_srai_epi16(floor, 15)));
}

inline __m128i Add(__m128i a, __m128i b) { return _mm_add_epi16(a, b); }
inline __m128i Sub(__m128i a, __m128i b) { return _mm_sub_epi16(a, b); }

// PlainColumns on x[0..7], each vector one row of the eight columns.
[[gnu::always_inline]] inline void VecColumns(__m128i* x) {
  const __m128i c1 = _mm_set1_epi16(kC1), s1 = _mm_set1_epi16(kS1), c2 = _mm_set1_epi16(kC2),
                s2 = _mm_set1_epi16(kS2), c3 = _mm_set1_epi16(kC3), s3 = _mm_set1_epi16(kS3),
                c4 = _mm_set1_epi16(kC4);
  const __m128i P1 = Add(VecM(x[3], c3), VecM(x[5], s3));
  const __m128i Q = Sub(VecM(x[5], c3), VecM(x[3], s3));
  const __m128i P3 = Add(VecM(x[1], c1), VecM(x[7], s1));
  const __m128i P4 = Sub(VecM(x[1], s1), VecM(x[7], c1));
  const __m128i m1 = VecN(Sub(Sub(Add(P3, P4), P1), Q), c4);
  const __m128i m2 = VecN(Add(Sub(Sub(P3, P4), P1), Q), c4);
  const __m128i S = Add(P3, P1);
  const __m128i T = Add(P4, Q);
  const __m128i E1 = Add(VecM(x[2], c2), VecM(x[6], s2));
  const __m128i E2 = Sub(VecM(x[2], s2), VecM(x[6], c2));
  const __m128i w = VecM(x[0], c4);
  const __m128i A = VecM(x[4], c4);
  const __m128i F = Add(w, A);
  const __m128i G = Sub(w, A);
  x[0] = Add(Add(F, E1), S);
  x[1] = Add(Add(G, E2), m1);
  x[2] = Add(Sub(G, E2), m2);
  x[3] = Add(Sub(F, E1), T);
  x[4] = Sub(Sub(F, E1), T);
  x[5] = Sub(Sub(G, E2), m2);
  x[6] = Sub(Add(G, E2), m1);
  x[7] = Sub(Add(F, E1), S);
}

// VecColumns when x[4..7] are zero, as in most blocks: their products are zero (M(0, c) is
// 0), so the terms they feed drop out and the sums are the same.
[[gnu::always_inline]] inline void VecColumnsLow(__m128i* x) {
  const __m128i c1 = _mm_set1_epi16(kC1), s1 = _mm_set1_epi16(kS1), c2 = _mm_set1_epi16(kC2),
                s2 = _mm_set1_epi16(kS2), c3 = _mm_set1_epi16(kC3), s3 = _mm_set1_epi16(kS3),
                c4 = _mm_set1_epi16(kC4);
  const __m128i P1 = VecM(x[3], c3);
  const __m128i Q = Sub(_mm_setzero_si128(), VecM(x[3], s3));
  const __m128i P3 = VecM(x[1], c1);
  const __m128i P4 = VecM(x[1], s1);
  const __m128i m1 = VecN(Sub(Sub(Add(P3, P4), P1), Q), c4);
  const __m128i m2 = VecN(Add(Sub(Sub(P3, P4), P1), Q), c4);
  const __m128i S = Add(P3, P1);
  const __m128i T = Add(P4, Q);
  const __m128i E1 = VecM(x[2], c2);
  const __m128i E2 = VecM(x[2], s2);
  const __m128i F = VecM(x[0], c4);  // w + A with A = 0, and G = F
  x[0] = Add(Add(F, E1), S);
  x[1] = Add(Add(F, E2), m1);
  x[2] = Add(Sub(F, E2), m2);
  x[3] = Add(Sub(F, E1), T);
  x[4] = Sub(Sub(F, E1), T);
  x[5] = Sub(Sub(F, E2), m2);
  x[6] = Sub(Add(F, E2), m1);
  x[7] = Sub(Add(F, E1), S);
}

inline void VecTranspose(__m128i* x) {
  const __m128i a0 = _mm_unpacklo_epi16(x[0], x[1]), a1 = _mm_unpackhi_epi16(x[0], x[1]);
  const __m128i a2 = _mm_unpacklo_epi16(x[2], x[3]), a3 = _mm_unpackhi_epi16(x[2], x[3]);
  const __m128i a4 = _mm_unpacklo_epi16(x[4], x[5]), a5 = _mm_unpackhi_epi16(x[4], x[5]);
  const __m128i a6 = _mm_unpacklo_epi16(x[6], x[7]), a7 = _mm_unpackhi_epi16(x[6], x[7]);
  const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  x[0] = _mm_unpacklo_epi64(b0, b4);
  x[1] = _mm_unpackhi_epi64(b0, b4);
  x[2] = _mm_unpacklo_epi64(b1, b5);
  x[3] = _mm_unpackhi_epi64(b1, b5);
  x[4] = _mm_unpacklo_epi64(b2, b6);
  x[5] = _mm_unpackhi_epi64(b2, b6);
  x[6] = _mm_unpacklo_epi64(b3, b7);
  x[7] = _mm_unpackhi_epi64(b3, b7);
}
#endif

#if defined(TEKU_PAIR_AVX2)
// The same steps in sixteen lanes: each 128-bit half holds one block, and every instruction
// (the unpacking of the transposes included) works on the halves apart, so each half gets
// exactly the eight-lane result.
TEKU_AVX2 inline __m256i WideM(__m256i x, __m256i c) {
  const __m256i lo = _mm256_mullo_epi16(x, c);
  const __m256i floor = _mm256_add_epi16(_mm256_mulhi_epi16(x, c), _mm256_srli_epi16(lo, 15));
  const __m256i exact = _mm256_cmpeq_epi16(lo, _mm256_set1_epi16(-32768));
  return _mm256_sub_epi16(floor, _mm256_andnot_si256(exact, _mm256_srai_epi16(floor, 15)));
}

TEKU_AVX2 inline __m256i WideN(__m256i x, __m256i c) {
  const __m256i lo = _mm256_mullo_epi16(x, c);
  const __m256i hi = _mm256_mulhi_epi16(x, c);
  const __m256i carry = _mm256_add_epi16(_mm256_srli_epi16(lo, 15),
                                         _mm256_and_si256(_mm256_srli_epi16(lo, 14), _mm256_set1_epi16(1)));
  const __m256i floor = _mm256_add_epi16(_mm256_add_epi16(hi, hi), carry);
  const __m256i remainder =
      _mm256_and_si256(_mm256_add_epi16(lo, _mm256_set1_epi16(16384)), _mm256_set1_epi16(0x7FFF));
  const __m256i exact = _mm256_cmpeq_epi16(remainder, _mm256_setzero_si256());
  return _mm256_sub_epi16(floor, _mm256_andnot_si256(exact, _mm256_srai_epi16(floor, 15)));
}

TEKU_AVX2 inline __m256i WideAdd(__m256i a, __m256i b) { return _mm256_add_epi16(a, b); }
TEKU_AVX2 inline __m256i WideSub(__m256i a, __m256i b) { return _mm256_sub_epi16(a, b); }

TEKU_AVX2 inline void WideColumns(__m256i* x) {
  const __m256i c1 = _mm256_set1_epi16(kC1), s1 = _mm256_set1_epi16(kS1), c2 = _mm256_set1_epi16(kC2),
                s2 = _mm256_set1_epi16(kS2), c3 = _mm256_set1_epi16(kC3), s3 = _mm256_set1_epi16(kS3),
                c4 = _mm256_set1_epi16(kC4);
  const __m256i P1 = WideAdd(WideM(x[3], c3), WideM(x[5], s3));
  const __m256i Q = WideSub(WideM(x[5], c3), WideM(x[3], s3));
  const __m256i P3 = WideAdd(WideM(x[1], c1), WideM(x[7], s1));
  const __m256i P4 = WideSub(WideM(x[1], s1), WideM(x[7], c1));
  const __m256i m1 = WideN(WideSub(WideSub(WideAdd(P3, P4), P1), Q), c4);
  const __m256i m2 = WideN(WideAdd(WideSub(WideSub(P3, P4), P1), Q), c4);
  const __m256i S = WideAdd(P3, P1);
  const __m256i T = WideAdd(P4, Q);
  const __m256i E1 = WideAdd(WideM(x[2], c2), WideM(x[6], s2));
  const __m256i E2 = WideSub(WideM(x[2], s2), WideM(x[6], c2));
  const __m256i w = WideM(x[0], c4);
  const __m256i A = WideM(x[4], c4);
  const __m256i F = WideAdd(w, A);
  const __m256i G = WideSub(w, A);
  x[0] = WideAdd(WideAdd(F, E1), S);
  x[1] = WideAdd(WideAdd(G, E2), m1);
  x[2] = WideAdd(WideSub(G, E2), m2);
  x[3] = WideAdd(WideSub(F, E1), T);
  x[4] = WideSub(WideSub(F, E1), T);
  x[5] = WideSub(WideSub(G, E2), m2);
  x[6] = WideSub(WideAdd(G, E2), m1);
  x[7] = WideSub(WideAdd(F, E1), S);
}

TEKU_AVX2 inline void WideColumnsLow(__m256i* x) {
  const __m256i c1 = _mm256_set1_epi16(kC1), s1 = _mm256_set1_epi16(kS1), c2 = _mm256_set1_epi16(kC2),
                s2 = _mm256_set1_epi16(kS2), c3 = _mm256_set1_epi16(kC3), s3 = _mm256_set1_epi16(kS3),
                c4 = _mm256_set1_epi16(kC4);
  const __m256i P1 = WideM(x[3], c3);
  const __m256i Q = WideSub(_mm256_setzero_si256(), WideM(x[3], s3));
  const __m256i P3 = WideM(x[1], c1);
  const __m256i P4 = WideM(x[1], s1);
  const __m256i m1 = WideN(WideSub(WideSub(WideAdd(P3, P4), P1), Q), c4);
  const __m256i m2 = WideN(WideAdd(WideSub(WideSub(P3, P4), P1), Q), c4);
  const __m256i S = WideAdd(P3, P1);
  const __m256i T = WideAdd(P4, Q);
  const __m256i E1 = WideM(x[2], c2);
  const __m256i E2 = WideM(x[2], s2);
  const __m256i F = WideM(x[0], c4);
  x[0] = WideAdd(WideAdd(F, E1), S);
  x[1] = WideAdd(WideAdd(F, E2), m1);
  x[2] = WideAdd(WideSub(F, E2), m2);
  x[3] = WideAdd(WideSub(F, E1), T);
  x[4] = WideSub(WideSub(F, E1), T);
  x[5] = WideSub(WideSub(F, E2), m2);
  x[6] = WideSub(WideAdd(F, E2), m1);
  x[7] = WideSub(WideAdd(F, E1), S);
}

TEKU_AVX2 inline void WideTranspose(__m256i* x) {
  const __m256i a0 = _mm256_unpacklo_epi16(x[0], x[1]), a1 = _mm256_unpackhi_epi16(x[0], x[1]);
  const __m256i a2 = _mm256_unpacklo_epi16(x[2], x[3]), a3 = _mm256_unpackhi_epi16(x[2], x[3]);
  const __m256i a4 = _mm256_unpacklo_epi16(x[4], x[5]), a5 = _mm256_unpackhi_epi16(x[4], x[5]);
  const __m256i a6 = _mm256_unpacklo_epi16(x[6], x[7]), a7 = _mm256_unpackhi_epi16(x[6], x[7]);
  const __m256i b0 = _mm256_unpacklo_epi32(a0, a2), b1 = _mm256_unpackhi_epi32(a0, a2);
  const __m256i b2 = _mm256_unpacklo_epi32(a1, a3), b3 = _mm256_unpackhi_epi32(a1, a3);
  const __m256i b4 = _mm256_unpacklo_epi32(a4, a6), b5 = _mm256_unpackhi_epi32(a4, a6);
  const __m256i b6 = _mm256_unpacklo_epi32(a5, a7), b7 = _mm256_unpackhi_epi32(a5, a7);
  x[0] = _mm256_unpacklo_epi64(b0, b4);
  x[1] = _mm256_unpackhi_epi64(b0, b4);
  x[2] = _mm256_unpacklo_epi64(b1, b5);
  x[3] = _mm256_unpackhi_epi64(b1, b5);
  x[4] = _mm256_unpacklo_epi64(b2, b6);
  x[5] = _mm256_unpackhi_epi64(b2, b6);
  x[6] = _mm256_unpacklo_epi64(b3, b7);
  x[7] = _mm256_unpackhi_epi64(b3, b7);
}

// Both blocks through the full transform; false (nothing written) when either is DC only,
// which the one-block form does with a single product.
TEKU_AVX2 bool InverseDctPairWide(const std::int16_t* a, const std::int16_t* b, std::int16_t* toA,
                                  std::int16_t* toB) {
  __m256i x[8];
  __m256i any = _mm256_setzero_si256();
  for (int k = 0; k < 8; ++k) {
    x[k] = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k * 8))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k * 8)), 1);
    any = _mm256_or_si256(any, k == 0 ? _mm256_and_si256(x[0], _mm256_set_epi16(-1, -1, -1, -1, -1, -1, -1, 0,
                                                                                  -1, -1, -1, -1, -1, -1, -1, 0))
                                      : x[k]);
  }
  // A half with no bit set past its DC coefficient is a DC-only block.
  const unsigned zeroBytes = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(any, _mm256_setzero_si256())));
  if ((zeroBytes & 0xFFFFu) == 0xFFFFu || (zeroBytes >> 16) == 0xFFFFu) return false;
  // Both with nothing outside the top-left 4 x 4, as in the one-block form.
  const __m256i right = _mm256_set_epi16(-1, -1, -1, -1, 0, 0, 0, 0, -1, -1, -1, -1, 0, 0, 0, 0);
  const __m256i outside = _mm256_or_si256(
      _mm256_and_si256(_mm256_or_si256(_mm256_or_si256(x[0], x[1]), _mm256_or_si256(x[2], x[3])), right),
      _mm256_or_si256(_mm256_or_si256(x[4], x[5]), _mm256_or_si256(x[6], x[7])));
  WideTranspose(x);
  if (_mm256_testz_si256(outside, outside) != 0) {
    WideColumnsLow(x);
    WideTranspose(x);
    WideColumnsLow(x);
  } else {
    WideColumns(x);  // the rows
    WideTranspose(x);
    WideColumns(x);
  }
  for (int k = 0; k < 8; ++k) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(toA + k * 8), _mm256_castsi256_si128(x[k]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(toB + k * 8), _mm256_extracti128_si256(x[k], 1));
  }
  return true;
}

const bool kWide = __builtin_cpu_supports("avx2");
#endif

}  // namespace

void JpegInverseDctPlain(const std::int16_t* from, std::int16_t* to) {
  std::int16_t t[64];
  Transpose(from, t);
  PlainColumns(t);  // the rows, as columns of the transposed block
  Transpose(t, to);
  PlainColumns(to);
}

void JpegInverseDctPortable(const std::int16_t* from, std::int16_t* to) {
  if (DcOnly(from)) return FillDc(from[0], to);
  JpegInverseDctPlain(from, to);
}

void JpegInverseDct(const std::int16_t* from, std::int16_t* to) {
#if defined(__SSE2__)
  __m128i x[8];
  for (int k = 0; k < 8; ++k) x[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + k * 8));
  // The DC-only test on the loaded rows: everything but lane 0 of the first.
  __m128i any = _mm_or_si128(_mm_and_si128(x[0], _mm_set_epi16(-1, -1, -1, -1, -1, -1, -1, 0)),
                     _mm_or_si128(_mm_or_si128(x[1], x[2]), _mm_or_si128(x[3], x[4])));
  any = _mm_or_si128(any, _mm_or_si128(_mm_or_si128(x[5], x[6]), x[7]));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF) {
    return FillDc(from[0], to);
  }
  // Nothing outside the top-left 4 x 4: the rows see zeros in columns 4 to 7, rows 4 to 7
  // transform to zeros, and the columns then see zeros in rows 4 to 7.
  const __m128i right = _mm_set_epi16(-1, -1, -1, -1, 0, 0, 0, 0);
  const __m128i outside =
      _mm_or_si128(_mm_and_si128(_mm_or_si128(_mm_or_si128(x[0], x[1]), _mm_or_si128(x[2], x[3])), right),
                   _mm_or_si128(_mm_or_si128(x[4], x[5]), _mm_or_si128(x[6], x[7])));
  VecTranspose(x);
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(outside, _mm_setzero_si128())) == 0xFFFF) {
    VecColumnsLow(x);
    VecTranspose(x);
    VecColumnsLow(x);
  } else {
    VecColumns(x);  // the rows
    VecTranspose(x);
    VecColumns(x);
  }
  for (int k = 0; k < 8; ++k) _mm_storeu_si128(reinterpret_cast<__m128i*>(to + k * 8), x[k]);
#else
  JpegInverseDctPortable(from, to);
#endif
}

void JpegInverseDctPair(const std::int16_t* fromA, const std::int16_t* fromB, std::int16_t* toA,
                        std::int16_t* toB) {
#if defined(TEKU_PAIR_AVX2)
  if (kWide && InverseDctPairWide(fromA, fromB, toA, toB)) return;
#endif
  JpegInverseDct(fromA, toA);
  JpegInverseDct(fromB, toB);
}

namespace {
// Sample (x 16, level shift not added) to byte.
inline std::uint8_t ToByte(int x) {
  const int v = (x + 2048 + 8) >> 4;
  return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}
}  // namespace

void JpegSamplesToBytesPortable(const std::int16_t* lum, const std::int16_t* cr,
                                const std::int16_t* cg, const std::int16_t* cb, int count,
                                std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) {
  for (int x = 0; x < count; ++x) {
    if (cr == nullptr) {
      red[x] = green[x] = blue[x] = ToByte(lum[x]);
    } else {
      red[x] = ToByte(lum[x] + cr[x]);
      green[x] = ToByte(lum[x] - cg[x]);
      blue[x] = ToByte(lum[x] + cb[x]);
    }
  }
}

void JpegSamplesToBytes(const std::int16_t* lum, const std::int16_t* cr, const std::int16_t* cg,
                        const std::int16_t* cb, int count, std::uint8_t* red, std::uint8_t* green,
                        std::uint8_t* blue) {
#if defined(__SSE2__)
  // Saturating sums give the same bytes: a sum beyond the 16-bit range is beyond 0..255
  // after the shift on the same side, and packing limits to 0..255 as the clamp does.
  const __m128i bias = _mm_set1_epi16(2048 + 8);
  auto bytes = [&](__m128i sum0, __m128i sum1) {
    return _mm_packus_epi16(_mm_srai_epi16(_mm_adds_epi16(sum0, bias), 4),
                            _mm_srai_epi16(_mm_adds_epi16(sum1, bias), 4));
  };
  auto load = [](const std::int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  auto store = [](std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); };
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m128i y0 = load(lum + x), y1 = load(lum + x + 8);
    if (cr == nullptr) {
      const __m128i grey = bytes(y0, y1);
      store(red + x, grey);
      store(green + x, grey);
      store(blue + x, grey);
    } else {
      store(red + x, bytes(_mm_adds_epi16(y0, load(cr + x)), _mm_adds_epi16(y1, load(cr + x + 8))));
      store(green + x, bytes(_mm_subs_epi16(y0, load(cg + x)), _mm_subs_epi16(y1, load(cg + x + 8))));
      store(blue + x, bytes(_mm_adds_epi16(y0, load(cb + x)), _mm_adds_epi16(y1, load(cb + x + 8))));
    }
  }
  if (x < count) {
    JpegSamplesToBytesPortable(lum + x, cr == nullptr ? nullptr : cr + x, cg == nullptr ? nullptr : cg + x,
                               cb == nullptr ? nullptr : cb + x, count - x, red + x, green + x, blue + x);
  }
#else
  JpegSamplesToBytesPortable(lum, cr, cg, cb, count, red, green, blue);
#endif
}

}  // namespace teku
