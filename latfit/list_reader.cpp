#include "list_reader.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "run_stop.h"

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

}  // namespace

bool parseInteger(std::string_view item, long long& value) {
  // An optional sign, then digits only.
  const std::size_t first = (!item.empty() && (item[0] == '+' || item[0] == '-')) ? 1 : 0;
  if (item.size() == first) return false;
  for (std::size_t i = first; i < item.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(item[i]))) return false;
  if (item[0] == '+') item.remove_prefix(1);
  const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
  return error == std::errc() && value >= -2147483648LL && value <= 2147483647LL;
}

bool parseReal(std::string_view item, double& value) {
  // Mantissa with optional sign and point, then an optional exponent written
  // with E or D (either case).
  std::string text;
  bool digits = false;
  std::size_t i = 0;
  if (i < item.size() && (item[i] == '+' || item[i] == '-')) text += item[i++];
  bool point = false;
  for (; i < item.size(); ++i) {
    const char c = item[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    text += c;
  }
  if (!digits) return false;
  if (i < item.size()) {
    const char e = static_cast<char>(std::toupper(static_cast<unsigned char>(item[i])));
    if (e != 'E' && e != 'D') return false;
    text += 'e';
    ++i;
    if (i < item.size() && (item[i] == '+' || item[i] == '-')) text += item[i++];
    if (i == item.size()) return false;
    for (; i < item.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(item[i]))) return false;
      text += item[i];
    }
  }
  value = std::strtod(text.c_str(), nullptr);
  return true;
}

bool ListReader::open(const std::string& path, const std::string& label) {
  close();
  in_.clear();
  in_.open(path, std::ios::binary);
  label_ = label;
  line_.clear();
  pos_ = 0;
  lineNumber_ = 0;
  lineStarted_ = false;
  return in_.is_open();
}

void ListReader::close() {
  if (in_.is_open()) in_.close();
}

void ListReader::rewind() {
  in_.clear();
  in_.seekg(0);
  line_.clear();
  pos_ = 0;
  lineNumber_ = 0;
  lineStarted_ = false;
}

bool ListReader::nextLine(std::string& line) {
  if (!std::getline(in_, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  return true;
}

std::string ListReader::text(int width, std::string_view record) {
  record_ = record;
  std::string line;
  if (!nextLine(line)) failAtEnd();
  line_.clear();
  pos_ = 0;
  line.resize(static_cast<std::size_t>(width), ' ');
  return line;
}

void ListReader::record(std::string_view record) {
  record_ = record;
  line_.clear();
  pos_ = 0;
  lineStarted_ = false;
}

void ListReader::endRecord() {
  if (lineStarted_) return;
  if (!nextLine(line_)) failAtEnd();
  line_.clear();
  pos_ = 0;
  lineStarted_ = true;
}

std::string_view ListReader::nextToken() {
  for (;;) {
    while (pos_ < line_.size() && isSeparator(line_[pos_])) ++pos_;
    if (pos_ < line_.size()) break;
    if (!nextLine(line_)) failAtEnd();
    pos_ = 0;
    lineStarted_ = true;
  }
  const std::size_t start = pos_;
  while (pos_ < line_.size() && !isSeparator(line_[pos_])) ++pos_;
  return std::string_view(line_).substr(start, pos_ - start);
}

long long ListReader::integer() {
  const std::string_view item = nextToken();
  long long value = 0;
  if (!parseInteger(item, value)) fail("cannot read an integer from \"" + std::string(item) + "\"");
  return value;
}

double ListReader::real() {
  const std::string_view item = nextToken();
  double value = 0;
  if (!parseReal(item, value)) fail("cannot read a number from \"" + std::string(item) + "\"");
  return value;
}

void ListReader::fail(const std::string& what) const {
  throw RunStop(" ***ERROR  " + label_ + ", " + record_ + ", line " +
                std::to_string(lineNumber_) + ": " + what);
}

void ListReader::failAtEnd() const {
  throw RunStop(" ***ERROR  " + label_ + ", " + record_ + ": end of file after line " +
                std::to_string(lineNumber_));
}
