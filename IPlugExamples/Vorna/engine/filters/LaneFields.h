#pragma once

#include <cstddef>
#include <cstring>

// The fields of one voice's model lane as a run of frames left them (docs/engine.md):
// the model's Lane is a struct of doubles, its fields named once, and the run
// keeps field f of every voice in row f of its slot, kStride doubles (a row of
// voices) after field f - 1. A Lane puts first the Lane::kRunFields fields every run changes,
// then the Lane::kCutoffFields a moving cutoff changes; a model's FinishRun
// takes back those, or what it needs.
struct LaneFields
{
  static constexpr int kStride = 32;
  const double* first;  // field 0 of this voice
  bool cutoffMoved;     // the run moved the cutoff (sent it to the filter, at least once)

  // The field at byte offset `offset` of the Lane (offsetof).
  double At(std::size_t offset) const { return first[offset / sizeof(double) * kStride]; }
  // What the run changed, into l.
  template <class Lane>
  void CopyRunFields(Lane& l) const
  {
    CopyFields<0, Lane::kRunFields>(l);
    if (cutoffMoved) CopyFields<Lane::kRunFields, Lane::kRunFields + Lane::kCutoffFields>(l);
  }

private:
  template <int From, int To, class Lane>
  void CopyFields(Lane& l) const
  {
    static_assert(To * sizeof(double) <= sizeof(Lane), "fields of the lane");
    unsigned char* fields = reinterpret_cast<unsigned char*>(&l);
#pragma GCC unroll 32
    for (int f = From; f < To; ++f) std::memcpy(fields + f * sizeof(double), first + f * kStride, sizeof(double));
  }
};
