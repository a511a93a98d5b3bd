#pragma once
// Helpers for end-to-end tests: run the built Cryslink in a scratch directory
// and read back what it printed and wrote.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/run_context.h"

namespace testing_support {

// A fresh directory removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "cryslink-test-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        if (made) path_ = made;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string SourcePath(const std::string& relative) { return std::string(SOURCE_DIR) + "/" + relative; }

// A file of the corpus of real files, which lies beside the checkout.
inline std::string CorpusPath(const std::string& relative) { return SourcePath("../shared/corpus/" + relative); }

// A run with the shipped databases, read once, and the default options; a
// test that changes the options sets them back with `options = RunOptions()`.
inline RunContext& TestContext() {
    static RunContext context = [] {
        RunContext c;
        ReadDatabases(c, DatabasePaths(SourcePath("data")));
        return c;
    }();
    return context;
}

struct RunResult {
    int status = -1;     // exit status as the shell sees it
    std::string output;  // standard output and standard error together
};

// Runs `program` with `args` in `workDir`, with argv[0] set to `argv0`.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& workDir, const std::string& argv0) {
    const std::string outPath = workDir + "/.program-output";
    RunResult result;
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(127);
        int fd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) _exit(127);
        dup2(fd, 1);
        dup2(fd, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(argv0.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.output = ReadFile(outPath);
    std::filesystem::remove(outPath);
    return result;
}

inline RunResult RunCryslinkIn(const std::string& workDir, const std::vector<std::string>& args,
                               const std::string& argv0 = "Cryslink") {
    return RunProgram(CRYSLINK_EXE, args, workDir, argv0);
}

}  // namespace testing_support
