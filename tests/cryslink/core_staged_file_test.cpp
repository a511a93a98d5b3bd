// The staged writer every action writes through, on what may stand under an
// output's name: nothing, an older file, a link (also one that leads nowhere
// or through another link), a device, a directory; replacing, appending and
// putting a new file only where the name is free.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/staged_file.h"
#include "program_runner.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

using Mode = CStagedFile::Mode;

// What stands in the directory: "f:name=text" a file, "l:name>target" a link,
// "d:name" a directory, "m:name=0640" the permissions of a file.
void Make(const TempDir& dir, const std::string& entry) {
    const std::string what = entry.substr(2);
    const size_t eq = what.find('='), gt = what.find('>');
    switch (entry[0]) {
        case 'f':
            fs::create_directories(fs::path(dir / what.substr(0, eq)).parent_path());
            WriteFile(dir / what.substr(0, eq), what.substr(eq + 1));
            break;
        case 'l': fs::create_symlink(what.substr(gt + 1), dir / what.substr(0, gt)); break;
        case 'd': fs::create_directories(dir / what + "/x"); break;
        case 'm': chmod((dir / what.substr(0, eq)).c_str(), std::stoi(what.substr(eq + 1), nullptr, 8)); break;
    }
}

// The same entries, checked after the commit.
void Check(const TempDir& dir, const std::string& entry) {
    const std::string what = entry.substr(2);
    const size_t eq = what.find('='), gt = what.find('>');
    struct stat info {};
    switch (entry[0]) {
        case 'f': EXPECT_EQ(ReadFile(dir / what.substr(0, eq)), what.substr(eq + 1)) << entry; break;
        case 'l':
            EXPECT_TRUE(fs::is_symlink(dir / what.substr(0, gt)) &&
                        fs::read_symlink(dir / what.substr(0, gt)) == what.substr(gt + 1))
                << entry;
            break;
        case 'd': EXPECT_TRUE(fs::is_directory(dir / what + "/x")) << entry; break;
        case 'm':
            ASSERT_EQ(stat((dir / what.substr(0, eq)).c_str(), &info), 0) << entry;
            EXPECT_EQ(info.st_mode & 07777, static_cast<mode_t>(std::stoi(what.substr(eq + 1), nullptr, 8))) << entry;
            break;
    }
}

struct StagedCase {
    const char* what;
    Mode mode;
    std::vector<std::string> before;  // in the directory before "out" is opened
    bool opens, commits;
    std::vector<std::string> after;  // in the directory after the commit
    std::string meanwhile = "";      // made between Open and Commit
};

void PrintTo(const StagedCase& c, std::ostream* out) { *out << c.what; }

// "new" is written to the name "out".
const StagedCase kStagedCases[] = {
    {"a new file", Mode::kReplace, {}, true, true, {"f:out=new"}},
    {"an older file, its permissions kept", Mode::kReplace, {"f:out=old", "m:out=0604"}, true, true,
     {"f:out=new", "m:out=0604"}},
    {"a link: its target replaced, the link kept", Mode::kReplace, {"f:sub/real=old", "l:out>sub/real"}, true, true,
     {"f:sub/real=new", "l:out>sub/real"}},
    {"a link that leads nowhere yet", Mode::kReplace, {"d:sub", "l:out>sub/real"}, true, true,
     {"f:sub/real=new", "l:out>sub/real"}},
    {"a link to a link", Mode::kReplace, {"f:sub/real=old", "l:sub/hop>real", "l:out>sub/hop"}, true, true,
     {"f:sub/real=new", "l:sub/hop>real", "l:out>sub/hop"}},
    {"links in a circle", Mode::kReplace, {"l:out>loop", "l:loop>out"}, false, false, {"l:out>loop", "l:loop>out"}},
    {"a link to a device, written into", Mode::kReplace, {"l:out>/dev/null"}, true, true, {"l:out>/dev/null"}},
    {"a directory", Mode::kReplace, {"d:out"}, true, false, {"d:out"}},
    {"a table added to", Mode::kAppend, {"f:out=old\n"}, true, true, {"f:out=old\nnew"}},
    {"a table through its link", Mode::kAppend, {"f:t/real=old\n", "l:out>t/real"}, true, true,
     {"f:t/real=old\nnew", "l:out>t/real"}},
    {"a table that is a directory", Mode::kAppend, {"d:out"}, false, false, {"d:out"}},
    {"no table yet", Mode::kAppend, {}, true, true, {"f:out=new"}},
    {"a backup under a free name", Mode::kNew, {}, true, true, {"f:out=new"}},
    {"a backup under a taken name", Mode::kNew, {"f:out=old"}, false, false, {"f:out=old"}},
    {"a backup under a link that leads nowhere", Mode::kNew, {"l:out>gone"}, false, false, {"l:out>gone"}},
    {"a backup whose name is taken meanwhile", Mode::kNew, {}, true, false, {"f:out=other"}, "f:out=other"},
    {"a file replaced meanwhile", Mode::kReplace, {"f:out=old"}, true, true, {"f:out=new"}, "f:out=other"},
};

class StagedFile : public testing::TestWithParam<StagedCase> {};

TEST_P(StagedFile, LeavesTheNameAsItShould) {
    const StagedCase& c = GetParam();
    TempDir dir;
    for (const std::string& entry : c.before) Make(dir, entry);
    {
        CStagedFile file;
        ASSERT_EQ(file.Open(dir / "out", c.mode), c.opens);
        if (c.opens) {
            std::fputs("new", file.get());
            if (!c.meanwhile.empty()) Make(dir, c.meanwhile);
            EXPECT_EQ(file.Commit(), c.commits);
        }
    }
    for (const std::string& entry : c.after) Check(dir, entry);
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path() << " is left behind";
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

INSTANTIATE_TEST_SUITE_P(Names, StagedFile, testing::ValuesIn(kStagedCases));

// A file given up half way leaves the older one as it was.
TEST(StagedFile, DiscardKeepsTheOlderFile) {
    TempDir dir;
    WriteFile(dir / "out", "old");
    CStagedFile file;
    ASSERT_TRUE(file.Open(dir / "out"));
    std::fputs("half", file.get());
    file.Discard();
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadFile(dir / "out"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A write-protected file is not replaced, as it would not be overwritten; the
// writer is someone else than its owner (root may write anything).
TEST(StagedFile, WriteProtectedFileIsKept) {
    TempDir dir;
    chmod(dir.path().c_str(), 0777);
    WriteFile(dir / "kept", "old");
    chmod((dir / "kept").c_str(), 0444);
    WriteFile(dir / "open", "old");
    chmod((dir / "open").c_str(), 0666);
    auto asAnotherUser = [&](const std::string& name) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
            CStagedFile file;
            if (!file.Open(dir / name)) _exit(1);
            std::fputs("new", file.get());
            _exit(file.Commit() ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    if (geteuid() != 0 && access((dir / "kept").c_str(), W_OK) == 0) GTEST_SKIP() << "no user that may not write";
    EXPECT_EQ(asAnotherUser("kept"), 1);
    EXPECT_EQ(ReadFile(dir / "kept"), "old");
    EXPECT_EQ(asAnotherUser("open"), 0);
    EXPECT_EQ(ReadFile(dir / "open"), "new");
    struct stat info {};
    ASSERT_EQ(stat((dir / "open").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u);
    // Root replacing someone's file leaves it theirs.
    if (geteuid() != 0) return;
    WriteFile(dir / "theirs", "old");
    ASSERT_EQ(chown((dir / "theirs").c_str(), 65534, 65534), 0);
    CStagedFile file;
    ASSERT_TRUE(file.Open(dir / "theirs"));
    ASSERT_TRUE(file.Commit());
    ASSERT_EQ(stat((dir / "theirs").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(ReadFile(dir / "theirs"), "");
}

}  // namespace
