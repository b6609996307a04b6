// unitcheck-floor UNITS.csv CALLS [THREADS]: the floor under a validation run. Reads the unit
// table once and makes the file-system calls listed in CALLS ("a PATH" for access, "s PATH"
// for stat, one a line) on THREADS threads, and nothing else: no parsing, no checking. Its time
// is what no validator of the same data, making the same calls, can go below.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Call {
  char kind;  // 'a' access, 's' stat
  std::string path;
};

std::vector<Call> read_calls(const char* path) {
  std::ifstream in(path);
  std::vector<Call> calls;
  for (std::string line; std::getline(in, line);)
    if (line.size() > 2) calls.push_back(Call{line[0], line.substr(2)});
  return calls;
}

// Every threads-th call, from first on.
void make_calls(const std::vector<Call>& calls, std::size_t first, std::size_t threads) {
  struct stat status {};
  for (std::size_t i = first; i < calls.size(); i += threads) {
    if (calls[i].kind == 'a') {
      (void)::access(calls[i].path.c_str(), F_OK);
    } else {
      (void)::stat(calls[i].path.c_str(), &status);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: unitcheck-floor UNITS.csv CALLS [THREADS]\n";
    return 2;
  }
  const std::size_t threads = argc > 3 ? std::max(std::stoul(argv[3]), 1ul) : 1;
  const std::vector<Call> calls = read_calls(argv[2]);
  const int fd = ::open(argv[1], O_RDONLY);
  if (fd < 0) {
    std::perror(argv[1]);
    return 2;
  }
  // The calls run beside the read, as the checking threads run beside the reading one.
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t)
    helpers.emplace_back(make_calls, std::cref(calls), t, threads);
  constexpr std::size_t kChunk = 512 * 1024;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
  std::size_t total = 0;
  for (ssize_t n; (n = ::read(fd, buffer.get(), kChunk)) > 0;) total += static_cast<std::size_t>(n);
  ::close(fd);
  make_calls(calls, 0, threads);
  for (std::thread& helper : helpers) helper.join();
  std::cout << total << " bytes, " << calls.size() << " calls\n";
  return 0;
}
