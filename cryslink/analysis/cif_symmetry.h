#pragma once
// The space group of a crystal read from a CIF file: the operations the file
// lists (a magnetic group's with its centrings), else those of the database
// record its symbols or number name.
class CCIFTags;
class CCrystal;
class CSpaceGroupDatabase;

// Fills crystal.SpaceGroup from the tags, from the database when the file lists no operations.
void SetSpaceGroupFromCIF(CCrystal& crystal, const CCIFTags& tags, const CSpaceGroupDatabase& database);
