#pragma once
// Helpers for the latfit tests: scratch directories, files, the built program
// run on a control input, and the data-file units opened on test files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "commons.h"
#include "files.h"
#include "run_stop.h"

namespace latfit_test {

// A fresh directory, removed with its contents at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "latfit-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

struct RunResult {
  int status = -1;
  std::string output;   // standard output
};

// Runs the built latfit in `dir` with `control` on standard input.
inline RunResult runLatfitIn(const std::string& dir, const std::string& control) {
  writeFile(dir + "/.control", control);
  const std::string command = "cd '" + dir + "' && '" LATFIT_EXE "' < .control > .stdout";
  RunResult result;
  const int raw = std::system(command.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.output = readFile(dir + "/.stdout");
  return result;
}

// Fresh shared data areas and units, with `path` stored as the name of `unit`
// and opened for reading when that unit is an input.
inline void openInput(int unit, const std::string& path) {
  std::string name = path;
  name.resize(std::max<std::size_t>(name.size(), kFileNameLength), ' ');
  strings.FNAME[static_cast<std::size_t>(unit)] = name;
  ListReader& reader = unit == 1 ? units.symmetry : unit == 2 ? units.atomic : units.structure;
  ASSERT_TRUE(reader.open(path, path));
}

// The message of the stop that `action` ends in (which must have a non-zero
// status); a failure if it does not stop.
inline std::string stopMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunStop& stop) {
    EXPECT_NE(stop.status(), 0);
    return stop.what();
  }
  ADD_FAILURE() << "the run did not stop";
  return {};
}

inline void resetRun() {
  resetCommons();
  units = Units{};
}

}  // namespace latfit_test
