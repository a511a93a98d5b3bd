#include "abinitio/transiesta.h"
int TranSIESTAConvOutput(const std::string&) { return 1; }
