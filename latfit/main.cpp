#include <iostream>

#include "driver.h"

int main() { return runLatfit(std::cin); }
