#pragma once
// The numbers the whole program shares: pi as latfit takes it, the factors
// built on it, and the energy units of the atomic data.

inline constexpr double kPi = 3.1415926535;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double kRadToDeg = 180.0 / kPi;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kTwoPiCubed = kTwoPi * kTwoPi * kTwoPi;
inline constexpr double kFourPiSquared = 4 * kPi * kPi;
inline constexpr double kFourPiThirds = 4 * kPi / 3;
inline constexpr double kSqrtPi = 1.772453850880186;  // the square root of kPi, rounded to the nearest double

inline constexpr double kCoulomb = 2.307100407e-18;      // J Angstrom: two unit charges 1 Angstrom apart
inline constexpr double kKcalPerMole = 6.947700141e-21;  // J per molecule
