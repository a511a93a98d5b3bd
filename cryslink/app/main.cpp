#include <csignal>
#include <cstdio>

#include "app/cryslink_main.h"

int main(int argc, char** argv) {
    // A limit on the size of files (ulimit -f) makes a write fail, which is
    // reported with the file's name, instead of ending the run half way.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = RunCryslink(argc, argv);
    std::fflush(stdout);
    return status;
}
