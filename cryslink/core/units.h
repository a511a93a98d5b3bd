#pragma once
// Units: Cryslink keeps lengths in nanometres; files give them in angstrom or bohr.
namespace units {

constexpr double kBohr = 0.529177210903;           // angstrom
constexpr double kAngstromToNm = 0.1;
constexpr double kNmToAngstrom = 10.0;
constexpr double kBohrToNm = kBohr * kAngstromToNm;
constexpr double kRydbergToEv = 13.605693122994;
// pw.x prints forces in Ry/bohr.
constexpr double kRydbergPerBohrToEvPerAngstrom = 25.71104309541616;

}  // namespace units
