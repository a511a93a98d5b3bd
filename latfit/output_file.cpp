#include "output_file.h"

bool OutputFile::open(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  return isOpen();
}

void OutputFile::line(const std::string& text) {
  if (!file_) return;
  std::fwrite(text.data(), 1, text.size(), file_.get());
  std::fputc('\n', file_.get());
}

bool OutputFile::close() {
  if (!file_) return true;
  std::FILE* f = file_.release();
  const bool written = std::ferror(f) == 0;
  return (std::fclose(f) == 0) && written;
}

void say(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}
