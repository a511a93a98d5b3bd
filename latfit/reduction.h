#pragma once
// Brings a fractional coordinate into [0, 1): adds 1 while it is negative,
// subtracts 1 while it is 1 or more.
double redc01(double x);
