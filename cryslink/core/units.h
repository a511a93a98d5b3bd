#pragma once
// Units: Cryslink keeps lengths in nanometres; files give them in angstrom or bohr.
namespace units {

constexpr double kBohr = 0.529177210903;           // angstrom
constexpr double kAngstromToNm = 0.1;
constexpr double kNmToAngstrom = 10.0;
constexpr double kBohrToNm = kBohr * kAngstromToNm;

}  // namespace units
