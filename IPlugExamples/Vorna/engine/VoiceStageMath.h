#pragma once

// The small stages of a voice's chain, written once over a policy P
// (ScalarPolicy.h, lanes/LanePolicy.h; docs/engine.md): the soft limiter, the
// DC remover and the envelope's step within a stage. SoftLimiter, DCremove
// and EnvelopeGenerator run them on one voice, the runs of frames on many side
// by side. Plain templates and numbers only, so that the files built for AVX2
// can include it.

namespace DcRemoverConstants
{
// |x| at or below this counts as silence, over which the remover fades itself
// out, keeping kFadeOutFactor of its weight per sample.
inline constexpr double kSilence = 1e-10;
inline constexpr double kFadeOutFactor = 0.999;
}  // namespace DcRemoverConstants

template <class P>
struct VoiceStageMath
{
  using V = typename P::V;
  using M = typename P::M;

  // Passes samples inside +-threshold unchanged and bends louder ones towards
  // +-(threshold + 1 / knee).
  [[gnu::always_inline]] static V Limit(V x, V threshold, V knee)
  {
    return P::Choose(
      x > threshold,
      [&] {
        const V over = x - threshold;
        return over / (knee * over + 1.0) + threshold;
      },
      [&] {
        return P::Choose(
          x < -threshold,
          [&] {
            const V under = x + threshold;
            return under / (1.0 - knee * under) - threshold;
          },
          [&] { return x; });
      });
  }

  // One sample through the DC remover of coefficient a, its last input x1 and
  // output y1 and the weight it keeps through silence.
  [[gnu::always_inline]] static V RemoveDc(V x, V a, V& x1, V& y1, V& weight)
  {
    weight = P::Select(P::Abs(x) > DcRemoverConstants::kSilence, 1.0, weight * DcRemoverConstants::kFadeOutFactor);
    const V y = (1.0 - weight) * x + weight * (a * y1 + x - x1);
    x1 = x;
    y1 = y;
    return y;
  }

  // An envelope's level within its stage: attack adds the multiplier, decay
  // and release multiply by it, the others hold.
  [[gnu::always_inline]] static V Advance(M attack, M multiplying, V level, V multiplier)
  {
    return P::Choose(attack, [&] { return level + multiplier; },
                     [&] { return P::Choose(multiplying, [&] { return level * multiplier; }, [&] { return level; }); });
  }
  // The output follows a level that moved: normalised to [0, 1] above the floor
  // `minimum`, span = 1 - minimum.
  [[gnu::always_inline]] static V Output(V level, V& normalised, V& output, V minimum, V span)
  {
    const M moved = level != normalised;
    output = P::Choose(moved, [&] { return P::Clamp((level - minimum) / span, 0.0, 1.0); }, [&] { return output; });
    normalised = P::Select(moved, level, normalised);
    return output;
  }
};
