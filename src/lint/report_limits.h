#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "lint/rules.h"

namespace unitcheck::lint {

inline constexpr std::int64_t kUnlimited = std::numeric_limits<std::int64_t>::max();

// How many findings a report lists; the rest are counted, not written. Notes ride with their
// cause and are not counted here.
struct ReportLimits {
  std::int64_t total = kUnlimited;
  std::int64_t errors = kUnlimited;
  std::int64_t warnings = kUnlimited;
  // Warnings wait until the checks end, so that errors take the room first.
  bool errors_first = false;

  bool any() const { return total != kUnlimited || errors != kUnlimited || warnings != kUnlimited; }
};

// Chooses which rendered findings a report writes, in the order they come, under limits; the
// rest are counted as omitted. Items are offered in document order, on one thread; refuses may
// be asked from the rendering threads, which then need not render a finding's text at all: what
// is rendered after the room for its severity is gone lies later in the document than what took
// the room, so it could only be omitted.
class ReportGate {
 public:
  explicit ReportGate(ReportLimits limits) : limits_(limits) {}

  bool active() const { return limits_.any(); }
  bool refuses(Severity severity) const {
    return (severity == Severity::Error ? errors_refused_ : warnings_refused_)
        .load(std::memory_order_relaxed);
  }

  // Writes item with write, holds it for the end (a warning, when errors come first) or omits it.
  template <class Write>
  void offer(Severity severity, std::string_view item, Write&& write);
  // The held warnings that still fit, at the end.
  template <class Write>
  void finish(Write&& write);

  std::int64_t omitted_errors() const { return omitted_errors_; }
  std::int64_t omitted_warnings() const { return omitted_warnings_; }

 private:
  // Whether one more finding of this severity may be written now.
  bool room_for(Severity severity) const;
  void note_refusals();

  ReportLimits limits_;
  std::int64_t written_ = 0;
  std::int64_t written_errors_ = 0;
  std::int64_t written_warnings_ = 0;
  std::int64_t omitted_errors_ = 0;
  std::int64_t omitted_warnings_ = 0;
  std::vector<std::string> held_warnings_;  // at most as many as may still be written
  std::atomic<bool> errors_refused_{false};
  std::atomic<bool> warnings_refused_{false};
};

inline bool ReportGate::room_for(Severity severity) const {
  if (written_ >= limits_.total) return false;
  return severity == Severity::Error ? written_errors_ < limits_.errors
                                     : written_warnings_ < limits_.warnings;
}

inline void ReportGate::note_refusals() {
  if (!room_for(Severity::Error)) errors_refused_.store(true, std::memory_order_relaxed);
  const bool warnings_full = limits_.errors_first
                                 ? static_cast<std::int64_t>(held_warnings_.size()) >=
                                       std::min(limits_.total - written_, limits_.warnings)
                                 : !room_for(Severity::Warning);
  if (warnings_full) warnings_refused_.store(true, std::memory_order_relaxed);
}

template <class Write>
void ReportGate::offer(Severity severity, std::string_view item, Write&& write) {
  if (severity == Severity::Warning && limits_.errors_first) {
    // Held only while it may still be written; the room left for warnings only shrinks.
    if (static_cast<std::int64_t>(held_warnings_.size()) <
        std::min(limits_.total, limits_.warnings)) {
      held_warnings_.emplace_back(item);
    } else {
      ++omitted_warnings_;
    }
  } else if (!room_for(severity)) {
    (severity == Severity::Error ? omitted_errors_ : omitted_warnings_) += 1;
  } else {
    ++written_;
    (severity == Severity::Error ? written_errors_ : written_warnings_) += 1;
    write(item);
  }
  note_refusals();
}

template <class Write>
void ReportGate::finish(Write&& write) {
  limits_.errors_first = false;
  std::vector<std::string> held;
  held.swap(held_warnings_);
  for (const std::string& item : held) offer(Severity::Warning, item, write);
}

}  // namespace unitcheck::lint
