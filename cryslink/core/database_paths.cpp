#include "core/database_paths.h"

std::string NONRELPath = "nonrel";
std::string ASFDCPath = "asfdc";
std::string AtomDBPath = "nonrel";
std::string SPGDBPath = "spgra";
