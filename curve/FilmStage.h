// A negative's linear scan value t (0..1) as a linear positive p, one channel
// at a time: the density above the film base, raised by the channel's
// exponent and scaled so that the frame's densest highlights come out at 1.
#pragma once

// Below this transmission a sample is taken as this one, so that the density
// of a black sample stays finite: half of one step of a 16-bit scan.
inline constexpr double kDarkestTransmission = 0.5 / 65535.0;

struct FilmStage {
    double base = 1.0;     // b: the transmission of the unexposed film, 0..1
    double exponent = 1.0; // e: the inverse of the film's contrast
    double density = 1.0;  // D: the density above the base that becomes p = scale
    double scale = 1.0;    // s: the balance's factor on the channel
    friend bool operator==(const FilmStage&, const FilmStage&) = default;
};

// With d = log10(b / max(t, tiny)) and 10^(e d) = (b / t)^e:
//   p = s * (10^(e d) - 1) / (10^(e D) - 1),
// 0 at the base, s at density D, below 0 for film clearer than the base.
// Falls as t rises, for every stage with b, e, D and s above 0.
double FilmPositive(const FilmStage& stage, double transmission);
// The same with the denominator 10^(e D) - 1 worked out once, for the many
// entries of a table: FilmPositive(s, t, FilmHighlights(s)) is
// FilmPositive(s, t), to the bit.
double FilmHighlights(const FilmStage& stage);
double FilmPositive(const FilmStage& stage, double transmission, double highlights);

// The limits of each value of a stage, inclusive; the measurements keep
// within them and a parameter file outside them is refused.
inline constexpr double kMinTransmission = 1e-6;
inline constexpr double kMaxTransmission = 1.0;
inline constexpr double kMinFilmExponent = 0.05;
inline constexpr double kMaxFilmExponent = 20.0;
inline constexpr double kMinFilmDensity = 0.05;
inline constexpr double kMaxFilmDensity = 6.0;
inline constexpr double kMinFilmScale = 0.01;
inline constexpr double kMaxFilmScale = 100.0;

bool IsValidStage(const FilmStage& stage);
