#pragma once
// Cell geometry: metric, expansion of the asymmetric unit, distance table and
// the ranges of the lattice sums. Results go to the shared data areas.
#include <array>

#include "commons.h"

// Direct and reciprocal metric from the lattice constants; writes the crystal
// data file (unit 4) when printSwitch is non-zero.
void calcrs(int printSwitch);

// Rebuilds the expanded cell from the asymmetric unit: copies, multiplicities
// and core-shell partners; writes the coordinate data file (unit 8) when
// printSwitch is 1. Safe to call any number of times.
void extcod(int printSwitch);

// Writes the table of interatomic distances up to RCMAX (unit 9).
void distan();

// Sets the radii and index ranges of the lattice sums and prints them.
void calrng();

// Length of a fractional difference vector under the direct metric.
double metricLength(const Vec3& d);

// For every atom of the expanded cell, the asymmetric-unit atom it comes from
// (atom number, from 1).
const std::array<int, kMaxAtoms>& atomOrigins();
