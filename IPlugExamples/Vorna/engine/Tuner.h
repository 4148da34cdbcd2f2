#pragma once

// The engine's equal-tempered tuning: the note frequency table, the semitone
// factors, the pitch-wheel spans and, per oscillator, the tune spans and the
// resulting tune factor. Filled once when the engine is built.
class Tuner
{
public:
  static constexpr int kNumNotes = 128;
  static constexpr int kNumOscillators = 2;
  static constexpr int kReferenceNote = 69;           // A4
  static constexpr double kReferenceFrequency = 440.0;  // Hz
  static constexpr double kSemitoneInOctaves = 1.0 / 12.0;
  static constexpr int kDefaultPitchWheelRange = 2;  // semitones

  Tuner();

  // Sharp and flat factors from the semitone size, then both pitch-wheel spans.
  void CalculateSharpFlatNotesFreqFactors();
  // Recomputes both pitch-wheel spans from the range alone.
  void CalcMidiPitchWheelFactors();

  // Tune range of one oscillator in semitones (osc 0 or 1); recomputes its spans
  // and its tune factor.
  void SetTuneRange(int osc, int semitones);
  // Tune value of one oscillator, -1..1; returns the new tune factor.
  double SetTuneValue(int osc, double value);

  double GetTuneFactor(int osc) const { return mTune[osc].factor; }
  double GetTuneValue(int osc) const { return mTune[osc].value; }
  // sharp^range - 1 (positive) and flat^range - 1 (negative).
  double GetTuneUpSpan(int osc) const { return mTune[osc].upSpan; }
  double GetTuneDownSpan(int osc) const { return mTune[osc].downSpan; }

  // Frequency of a MIDI note 0..127 in Hz.
  double GetNoteFrequency(int note) const { return mNoteFrequencies[note]; }
  const double* GetNoteFrequencies() const { return mNoteFrequencies; }

  double GetSharpFactor() const { return mSharpFactor; }
  double GetFlatFactor() const { return mFlatFactor; }
  int GetPitchWheelRange() const { return mPitchWheelRange; }
  // 1 - flat^range: the part of the frequency a full downward bend may take away.
  double GetPitchWheelDownSpan() const { return mPitchWheelDownSpan; }
  // sharp^range - 1: the part a full upward bend may add.
  double GetPitchWheelUpSpan() const { return mPitchWheelUpSpan; }

private:
  struct OscillatorTune
  {
    double upSpan = 0.0;
    double downSpan = 0.0;
    double value = 0.0;
    double factor = 1.0;
  };

  void UpdateTuneFactor(int osc);

  double mReferenceFrequency = kReferenceFrequency;
  double mSemitoneInOctaves = kSemitoneInOctaves;
  double mSharpFactor = 1.0;
  double mFlatFactor = 1.0;
  OscillatorTune mTune[kNumOscillators];
  double mNoteFrequencies[kNumNotes] = {};
  int mPitchWheelRange = kDefaultPitchWheelRange;
  double mPitchWheelDownSpan = 0.0;
  double mPitchWheelUpSpan = 0.0;
};
