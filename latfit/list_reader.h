#pragma once
// Sequential reading of a text input file: fixed-column text records and
// free-format (list-directed) numeric records.
//
// A free-format record starts on a new line; its values are separated by
// blanks, tabs, commas or line ends and may continue over as many lines as
// they need; values left on the last line read belong to no record and are
// skipped. A malformed number or an end of file inside a record stops the run
// (RunStop) with one line naming the file, the record and the text found.
// Lines may end in CR LF and may be of any length.
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

class ListReader {
 public:
  ListReader() = default;
  // Reads from the named file; `label` names it in messages. False if it
  // cannot be opened.
  bool open(const std::string& path, const std::string& label);
  void close();
  void rewind();

  // Next line as a fixed-width text field of `width` columns: cut, or padded
  // with blanks. An end of file stops the run.
  std::string text(int width, std::string_view record);
  // Next line, without its line end; false at the end of the file.
  bool nextLine(std::string& line);

  // Starts a free-format record named `record` (for messages); the values of
  // the previous record left on its last line are dropped.
  void record(std::string_view record);
  long long integer();
  double real();
  // Finishes a record that read no values: such a record still takes a line.
  void endRecord();

 private:
  std::string_view nextToken();
  [[noreturn]] void fail(const std::string& what) const;
  [[noreturn]] void failAtEnd() const;

  std::ifstream in_;
  std::string label_;
  std::string record_;
  std::string line_;
  std::size_t pos_ = 0;      // next unread column of line_
  long lineNumber_ = 0;
  bool lineStarted_ = false; // the current record has read a line
};

// Value of a free-format integer or real item; false for a malformed item.
bool parseInteger(std::string_view item, long long& value);
bool parseReal(std::string_view item, double& value);
