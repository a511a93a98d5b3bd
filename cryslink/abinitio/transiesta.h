#pragma once
#include <string>
int TranSIESTAConvOutput(const std::string& path);
