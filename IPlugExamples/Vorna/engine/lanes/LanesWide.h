#pragma once

// N groups of lanes of L (Sse2 or Avx2) carried as one value: every operation
// is L's on each group in turn, issued back to back. A filter whose sample is
// one long chain of dependent operations (the ladders: four stages of
// subtract, multiply, tanh's division, update) leaves the processor waiting on
// each result; with N independent chains interleaved it retires N operations
// in that time. Each lane still computes exactly what it computes in its own
// group: the groups never mix. Internal to each file that includes it.
#include <cstddef>
#include <cstdint>
#include <utility>

namespace
{
template <class L, int N>
struct Wide
{
  struct V
  {
    typename L::V part[N];
  };
  static constexpr int kLanes = N * L::kLanes;
  // What the value is made of, for the saturation, which takes the groups
  // apart (LanePolicy.h).
  using Group = L;
  static constexpr int kGroups = N;
  static_assert(N * L::kLanes < 31, "the lanes' bits fit an int");

private:
  // f(i) for each group i, spelled out so that the groups live in registers
  // rather than in an array a loop walks.
  template <class F, std::size_t... I>
  [[gnu::always_inline]] static V EachOf(F f, std::index_sequence<I...>)
  {
    return V{{f(I)...}};
  }
  template <class F>
  [[gnu::always_inline]] static V Each(F f)
  {
    return EachOf(f, std::make_index_sequence<N>{});
  }

public:
  static V Set(double x)
  {
    const typename L::V v = L::Set(x);
    return Each([&](std::size_t) { return v; });
  }
  static V Load(const double* p)
  {
    return Each([&](std::size_t i) { return L::Load(p + i * L::kLanes); });
  }
  static V LoadMask(const std::uint64_t* p)
  {
    return Each([&](std::size_t i) { return L::LoadMask(p + i * L::kLanes); });
  }
  static void Store(double* p, V v)
  {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
      (L::Store(p + I * L::kLanes, v.part[I]), ...);
    }(std::make_index_sequence<N>{});
  }
#define VORNA_WIDE_BINARY(Name)                                                          \
  static V Name(V a, V b)                                                                \
  {                                                                                      \
    return Each([&](std::size_t i) { return L::Name(a.part[i], b.part[i]); });            \
  }
#define VORNA_WIDE_UNARY(Name)                                                           \
  static V Name(V a)                                                                     \
  {                                                                                      \
    return Each([&](std::size_t i) { return L::Name(a.part[i]); });                       \
  }
  VORNA_WIDE_BINARY(Add)
  VORNA_WIDE_BINARY(Sub)
  VORNA_WIDE_BINARY(Mul)
  VORNA_WIDE_BINARY(Div)
  VORNA_WIDE_BINARY(And)
  VORNA_WIDE_BINARY(Or)
  VORNA_WIDE_BINARY(AndNot)
  VORNA_WIDE_BINARY(Xor)
  VORNA_WIDE_BINARY(Greater)
  VORNA_WIDE_BINARY(GreaterEqual)
  VORNA_WIDE_BINARY(Less)
  VORNA_WIDE_BINARY(LessEqual)
  VORNA_WIDE_BINARY(Equal)
  VORNA_WIDE_BINARY(NotEqual)
  VORNA_WIDE_UNARY(Abs)
  VORNA_WIDE_UNARY(Truncate)
  VORNA_WIDE_UNARY(ShiftLeft52)
  VORNA_WIDE_UNARY(ShiftRight52)
  VORNA_WIDE_UNARY(Sqrt)
  VORNA_WIDE_UNARY(OddQuadrant)
  VORNA_WIDE_UNARY(SignOfQuadrant)
#undef VORNA_WIDE_BINARY
#undef VORNA_WIDE_UNARY
  static V Select(V mask, V a, V b)
  {
    return Each([&](std::size_t i) { return L::Select(mask.part[i], a.part[i], b.part[i]); });
  }
  // One test of all the groups: the masks joined first.
  static bool Any(V mask)
  {
    typename L::V any = mask.part[0];
    for (int i = 1; i < N; ++i) any = L::Or(any, mask.part[i]);
    return L::Any(any);
  }
  // Group i's lanes from bit i * L::kLanes up.
  static int Bits(V mask)
  {
    int bits = 0;
    for (int i = 0; i < N; ++i) bits |= L::Bits(mask.part[i]) << (i * L::kLanes);
    return bits;
  }
};
}  // namespace
