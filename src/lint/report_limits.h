#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

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

// Chooses which rendered findings a report writes, in the order they come, under limits. Each
// finding reaches it as one item: a mark made by mark_item (its severity) and its text.
//
// Rendering runs on the checking threads, a chunk's findings into one text; only the writing,
// in reading order, knows how many came before. So under limits each rendered finding begins
// with a mark of two bytes, a NUL and its severity: no format writes a NUL byte of its own (the
// data's control bytes are escaped in every one), so the writer cuts a chunk's text at them.
class ReportGate {
 public:
  explicit ReportGate(ReportLimits limits) : limits_(limits) {}

  bool active() const { return limits_.any(); }
  static void mark_item(std::string& text, Severity severity);

  // Calls write with each item of text (marks removed) that the limits let through.
  template <class Write>
  void pass(std::string_view text, Write&& write);
  // The held warnings that still fit, at the end.
  template <class Write>
  void finish(Write&& write);

  std::int64_t omitted_errors() const { return omitted_errors_; }
  std::int64_t omitted_warnings() const { return omitted_warnings_; }

 private:
  // Whether one more finding of this severity may be written now.
  bool room_for(Severity severity) const;
  template <class Write>
  void admit(Severity severity, std::string_view item, Write& write);

  ReportLimits limits_;
  std::int64_t written_ = 0;
  std::int64_t written_errors_ = 0;
  std::int64_t written_warnings_ = 0;
  std::int64_t omitted_errors_ = 0;
  std::int64_t omitted_warnings_ = 0;
  std::string held_warnings_;  // marked items, at most as many as may still be written
  std::int64_t held_count_ = 0;
};

inline void ReportGate::mark_item(std::string& text, Severity severity) {
  text.push_back('\0');
  text.push_back(static_cast<char>('0' + static_cast<int>(severity)));
}

inline bool ReportGate::room_for(Severity severity) const {
  if (written_ >= limits_.total) return false;
  return severity == Severity::Error ? written_errors_ < limits_.errors
                                     : written_warnings_ < limits_.warnings;
}

template <class Write>
void ReportGate::admit(Severity severity, std::string_view item, Write& write) {
  if (!room_for(severity)) {
    (severity == Severity::Error ? omitted_errors_ : omitted_warnings_) += 1;
    return;
  }
  ++written_;
  (severity == Severity::Error ? written_errors_ : written_warnings_) += 1;
  write(item);
}

template <class Write>
void ReportGate::pass(std::string_view text, Write&& write) {
  // Each item runs from its mark to the next.
  while (text.size() >= 2 && text[0] == '\0') {
    const auto severity = static_cast<Severity>(text[1] - '0');
    const std::size_t end = text.find('\0', 2);
    const std::string_view item = text.substr(2, end == std::string_view::npos ? end : end - 2);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    if (severity == Severity::Warning && limits_.errors_first) {
      // Held only while it may still be written; the room left for warnings only shrinks.
      const std::int64_t room = std::min(limits_.total, limits_.warnings);
      if (held_count_ < room) {
        ReportGate::mark_item(held_warnings_, severity);
        held_warnings_.append(item);
        ++held_count_;
      } else {
        ++omitted_warnings_;
      }
      continue;
    }
    admit(severity, item, write);
  }
}

template <class Write>
void ReportGate::finish(Write&& write) {
  limits_.errors_first = false;
  const std::string held = std::move(held_warnings_);
  held_warnings_.clear();
  held_count_ = 0;
  pass(held, write);
}

}  // namespace unitcheck::lint
