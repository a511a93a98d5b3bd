#pragma once
// Paths of the databases every crystal reads. The entry point fills them once
// at start-up (from DBDir or the executable's directory); the crystal model
// and the space-group reader only read them.
#include <string>

extern std::string NONRELPath;  // non-relativistic atomic data ("nonrel")
extern std::string ASFDCPath;   // atomic weights / scattering factor data ("asfdc")
extern std::string AtomDBPath;  // atom database, printed only ("nonrel")
extern std::string SPGDBPath;   // space-group database ("spgra")
