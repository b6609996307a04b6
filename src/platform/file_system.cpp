#include "platform/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

namespace unitcheck {

namespace {

// A path holding a zero byte names nothing: the system would see only the text before it.
bool is_representable(const std::string& path) {
  return path.find('\0') == std::string::npos;
}

}  // namespace

bool exists(const std::string& path) {
  return is_representable(path) && ::access(path.c_str(), F_OK) == 0;
}

bool is_directory(const std::string& path) {
  struct stat info {};
  return is_representable(path) && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CachedFileTests::remembered(Answers& answers, const std::string& path,
                                 bool (*test)(const std::string&)) {
  if (const auto found = answers.find(path); found != answers.end()) return found->second;
  if (answers.size() >= max_entries_) answers.clear();
  const bool answer = test(path);
  answers.emplace(path, answer);
  return answer;
}

}  // namespace unitcheck
