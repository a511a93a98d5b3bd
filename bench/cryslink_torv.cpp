// ConvF09p on a synthetic TORV run of 10,000 sites and 200 frames (24 MB of
// trajectory): the XSF animation and the three CIF files, no RDF. The run is
// written once by tools/gen_torv_run.py into a scratch directory. The
// counter peak_rss_MB is the peak resident memory of the whole process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_context.h"
#include "md/torv.h"
#include "quiet_stdout.h"

namespace {

const std::filesystem::path kScratch = std::filesystem::temp_directory_path() / "cryslink-bench-torv";

// The run's FILE09P name; the files are made when they are not there yet.
std::string SyntheticRun() {
    std::filesystem::create_directories(kScratch);
    const std::string stem = (kScratch / "synthetic").string();
    if (!std::filesystem::exists(stem + ".f9v")) {
        const std::string command =
            "/usr/bin/python3 " SOURCE_DIR "/tools/gen_torv_run.py " + stem + " --sites 10000 --frames 200";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not run: %s\n", command.c_str());
    }
    return stem + ".f9p";
}

void ConvF09p10kSites200Frames(benchmark::State& state) {
    const std::string run = SyntheticRun();
    for (auto _ : state) {
        QuietStdout quiet;
        benchmark::DoNotOptimize(ConvF09p(BenchContext(), run));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

BENCHMARK(ConvF09p10kSites200Frames)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
