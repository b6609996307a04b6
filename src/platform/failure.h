#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace unitcheck {

// A failure that ends the run: the engine's errors, unreadable files, a failed console write.
// Only the driver catches it. The kind names the failure class as the report prints it
// ("EDatabaseError", "EListError", "EFOpenError", ...). Faults in the data are never Failures.
class Failure : public std::exception {
 public:
  Failure(std::string kind, std::string message);

  const std::string& kind() const { return kind_; }
  const std::string& message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  // Code addresses captured where the failure was raised, innermost first.
  const std::vector<std::uintptr_t>& addresses() const { return addresses_; }

 private:
  std::string kind_;
  std::string message_;
  std::vector<std::uintptr_t> addresses_;
};

}  // namespace unitcheck
