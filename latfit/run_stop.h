#pragma once
// Ending the run from anywhere inside it: the operation that must stop throws
// RunStop; the driver prints the message (if any) as one line on standard
// output and ends the program with the status.
#include <stdexcept>
#include <string>

class RunStop : public std::runtime_error {
 public:
  // An empty message stops the run without a further line.
  explicit RunStop(const std::string& message, int status = 1)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// Refuses a count beyond a capacity of the shared data areas before anything
// is stored: " ***ERROR  <where>: <count> <what>, allowed are 0 to <limit>".
void checkCapacity(const std::string& where, const std::string& what, long long count,
                   int limit);
