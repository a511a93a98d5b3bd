#pragma once
// A text output file written line by line; closing reports write failures.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// The parts (strings, literals) joined into one line.
template <class... Parts>
std::string concat(const Parts&... parts) {
  std::string text;
  (text.append(std::string_view(parts)), ...);
  return text;
}

class OutputFile {
 public:
  bool open(const std::string& path);   // created if missing, else overwritten
  bool isOpen() const { return file_ != nullptr; }
  void line(const std::string& text);   // writes text and a line end
  template <class... Parts>
  void line(const Parts&... parts) { line(concat(parts...)); }
  bool close();                         // false if a write or the close failed

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

// One line on standard output, the run log.
void say(const std::string& text);
template <class... Parts>
void say(const Parts&... parts) { say(concat(parts...)); }
