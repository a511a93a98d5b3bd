#pragma once
// Which record of the space-group database a structure file means when it
// names its space group but lists no operations.
#include <string>

class CSpaceGroupDatabase;

struct SpaceGroupRecord {
    int Number = 0;
    int Setting = 0;
    std::string Name;  // the record's own symbol in the database
};

// True for a cell with equal lengths and equal angles other than 90 degrees:
// an R group on such a cell has rhombohedral axes.
bool IsRhombohedralCell(double a, double b, double c, double alpha, double beta, double gamma);

// Finds the record of the database that a file names. Tries, in
// this order, and the first that finds a record wins:
//   1. the Hall symbol (blanks, case and underscores not counted);
//   2. the Hermann-Mauguin symbol in any common spelling: with or without
//      blanks and underscores, full or short, in any letter case, with an
//      origin or axes choice written ":1", ":2", ":H", ":R", "origin choice 2",
//      or as a trailing "S" (choice 1), "Z" (choice 2), "H" or "R", and the
//      older cubic forms without the bar of -3 ("F m 3 m");
//   3. the International Tables number, with setting 1, or the rhombohedral
//      axes when `rhombohedralCell` and the group has them.
// Without a choice in the symbol an R group takes the axes the cell shows.
// Empty, "Undefined", "?" and "." count as not given; `number` 0 as unknown.
// When the symbols name another group than `number` (or than each other), one
// warning line naming `fileName` says which one is used. False when nothing is
// found; `record` is then unchanged.
bool FindSpaceGroupRecord(const std::string& hallSymbol, const std::string& hmSymbol, int number,
                          bool rhombohedralCell, const CSpaceGroupDatabase& database, const std::string& fileName,
                          SpaceGroupRecord& record);

// A Hermann-Mauguin symbol whose lattice letter the database does not have
// with its point-group part ("A -1", "I 2/m"): the record of that part with
// another letter, P first, and the symbol's own letter in `lattice`. False
// when the Hall symbol or the symbol as written names a record, or no other
// letter does.
bool FindRecordWithOtherCentring(const std::string& hallSymbol, const std::string& hmSymbol,
                                 const CSpaceGroupDatabase& database, SpaceGroupRecord& record, char& lattice);
