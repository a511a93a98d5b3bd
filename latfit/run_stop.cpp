#include "run_stop.h"

void checkCapacity(const std::string& where, const std::string& what, long long count,
                   int limit) {
  if (count >= 0 && count <= limit) return;
  throw RunStop(" ***ERROR  " + where + ": " + std::to_string(count) + " " + what +
                ", allowed are 0 to " + std::to_string(limit));
}
