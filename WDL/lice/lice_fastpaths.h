#pragma once

#include <cstdint>

// Row kernels for the hottest cases, giving exactly the results of the per-channel
// rules they stand in for, several pixels at a time where the processor allows.
namespace lice
{
// The full-weight source-alpha copy (_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp)
// of n source pixels over n destination pixels.
void SourceAlphaCopyRow(unsigned int* dest, const unsigned int* src, int n);

// n pixels of one colour.
void FillRow(unsigned int* dest, int n, unsigned int color);

// One destination row of a bilinear full-weight copy. columns[i] gives each
// destination pixel's source column, fractions[4 * i] to fractions[4 * i + 3] four
// copies of its 16-bit fraction (one per channel, ready for the vector unit);
// every column and its right neighbour lie inside the source rows. top is the row at the
// sample, below the next one (top again on the last row) with fraction fy.
void BilinearCopyRow(unsigned int* dest, const unsigned int* top, const unsigned int* below, int fy,
                     const int* columns, const unsigned short* fractions, int n);
}  // namespace lice
