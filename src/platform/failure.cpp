#include "platform/failure.h"

#include <utility>

#include "platform/return_addresses.h"

namespace unitcheck {

Failure::Failure(std::string kind, std::string message)
    : kind_(std::move(kind)),
      message_(std::move(message)),
      addresses_(capture_return_addresses()) {}

}  // namespace unitcheck
