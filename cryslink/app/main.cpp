#include <cstdio>

#include "app/cryslink_main.h"

int main(int argc, char** argv) {
    int status = RunCryslink(argc, argv);
    std::fflush(stdout);
    return status;
}
