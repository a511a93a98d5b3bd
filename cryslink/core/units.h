#pragma once
// Units and the constants that convert them. Cryslink keeps lengths in
// nanometres and angles in degrees; files give lengths in angstrom or bohr.
namespace units {

// pi as both programs of the toolkit take it (every angle conversion uses it).
constexpr double kPi = 3.1415926535;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;

constexpr double kBohr = 0.529177210903;           // angstrom
constexpr double kAngstromToNm = 0.1;
constexpr double kNmToAngstrom = 10.0;
constexpr double kBohrToNm = kBohr * kAngstromToNm;
constexpr double kCubicAngstromToNm3 = 0.001;
constexpr double kRydbergToEv = 13.605693122994;
// pw.x prints forces in Ry/bohr.
constexpr double kRydbergPerBohrToEvPerAngstrom = 25.71104309541616;

}  // namespace units
