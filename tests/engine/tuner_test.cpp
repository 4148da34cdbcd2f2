#include "Tuner.h"

#include <gtest/gtest.h>

TEST(Tuner, NoteTableAndPitchWheelSpans)
{
  Tuner tuner;
  EXPECT_EQ(tuner.GetNoteFrequency(69), 440.0);
  EXPECT_EQ(tuner.GetNoteFrequency(81), 880.0);
  EXPECT_NEAR(tuner.GetNoteFrequency(0), 8.175798915643707, 1e-12);
  EXPECT_NEAR(tuner.GetNoteFrequency(60), 261.6255653005986, 1e-11);
  EXPECT_NEAR(tuner.GetNoteFrequency(127), 12543.853951415975, 1e-9);

  EXPECT_NEAR(tuner.GetPitchWheelDownSpan(), 0.10910128, 1e-8);
  EXPECT_NEAR(tuner.GetPitchWheelUpSpan(), 0.12246205, 1e-8);
  tuner.CalcMidiPitchWheelFactors();
  EXPECT_NEAR(tuner.GetPitchWheelDownSpan(), 0.10910128, 1e-8);
}

TEST(Tuner, TuneValueMovesUpToTheRangeEitherWay)
{
  Tuner tuner;
  EXPECT_EQ(tuner.GetTuneFactor(0), 1.0);
  tuner.SetTuneRange(0, 12);
  EXPECT_NEAR(tuner.SetTuneValue(0, 1.0), 2.0, 1e-14);
  EXPECT_NEAR(tuner.SetTuneValue(0, -1.0), 0.5, 1e-14);
  EXPECT_NEAR(tuner.SetTuneValue(0, 0.5), 1.5, 1e-14);
  EXPECT_NEAR(tuner.SetTuneValue(0, -0.5), 0.75, 1e-14);
  EXPECT_EQ(tuner.SetTuneValue(0, 0.0), 1.0);

  // A new range re-evaluates the stored value; the other oscillator is untouched.
  tuner.SetTuneValue(0, 1.0);
  tuner.SetTuneRange(0, 24);
  EXPECT_NEAR(tuner.GetTuneFactor(0), 4.0, 1e-13);
  tuner.SetTuneRange(1, 1);
  EXPECT_NEAR(tuner.SetTuneValue(1, -1.0), 0.9438743126816935, 1e-15);  // 2^(-1/12)
  EXPECT_NEAR(tuner.GetTuneFactor(0), 4.0, 1e-13);
}
