#include "platform/beneath.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/input_file.h"
#include "support/temp_dir.h"

namespace unitcheck {
namespace {

// data/ with files, folders and links of every kind, beside outside/, which nothing beneath
// data/ may reach.
void make_tree(const testing::TempDir& dir) {
  dir.write("data/a.txt", "inside a");
  dir.write("data/sub/b.txt", "inside b");
  dir.write("outside/secret.txt", "outside");
  const auto link = [&](const std::string& target, const std::string& at) {
    ASSERT_EQ(::symlink(target.c_str(), (dir / at).c_str()), 0) << at;
  };
  link("sub/b.txt", "data/relative");
  link(dir / "data/a.txt", "data/absolute");       // absolute, and inside
  link(dir / "data/sub", "data/absolute_folder");  // a folder on the way
  link(dir / "outside/secret.txt", "data/out");    // absolute, outside
  link("../outside/secret.txt", "data/up");        // relative, outside
  link("../data/a.txt", "data/up_and_in");         // climbs out and back
  link(dir / "outside", "data/outside_folder");    // a folder outside
  link("/proc/self/root" + (dir / "outside/secret.txt"), "data/through_proc");
  link("loop", "data/loop");
}

// What a file beneath data/ holds, through the handle; "-" when it does not open.
std::string read_beneath(const BeneathDirectory& data, std::string_view relative,
                         Links links = Links::Beneath) {
  try {
    InputFile file("x", data.open_file(relative, links));
    return read_whole_file(file);
  } catch (const Failure&) {
    return "-";
  }
}

std::string listing(const BeneathDirectory& data, std::string_view relative,
                    Links links = Links::Beneath) {
  std::vector<std::string> names = data.folder_entry_names(relative, links);
  std::sort(names.begin(), names.end());
  std::string text;
  for (const std::string& name : names) text.append(name).append(" ");
  return text;
}

// Every rule of the walk, as one text of what went wrong (empty when all holds), so that a
// child process can hand it back.
std::string broken_rules(const testing::TempDir& dir) {
  std::string broken;
  const auto expect = [&](const std::string& what, const std::string& got,
                          const std::string& want) {
    if (got != want) broken += what + ": got '" + got + "', want '" + want + "'\n";
  };
  // The directory named through a link: its real path still comes from the handle.
  const std::string named = dir / "named";
  if (::symlink((dir / "data").c_str(), named.c_str()) != 0) broken += "no link made\n";
  const BeneathDirectory data(named + "/");
  expect("opened", data.is_open() ? "yes" : "no", "yes");
  expect("real path", data.real_path(), dir.path().string() + "/data");

  expect("plain file", read_beneath(data, "a.txt"), "inside a");
  expect("file in a folder", read_beneath(data, "sub/b.txt"), "inside b");
  expect("dots inside", read_beneath(data, "./sub/../a.txt"), "inside a");
  expect("relative link", read_beneath(data, "relative"), "inside b");
  expect("absolute link inside", read_beneath(data, "absolute"), "inside a");
  expect("absolute folder link", read_beneath(data, "absolute_folder/b.txt"), "inside b");
  expect("link out and back", read_beneath(data, "up_and_in"), "inside a");
  expect("absolute link out", read_beneath(data, "out"), "-");
  expect("relative link out", read_beneath(data, "up"), "-");
  expect("dots out", read_beneath(data, "../outside/secret.txt"), "-");
  expect("folder out", read_beneath(data, "outside_folder/secret.txt"), "-");
  expect("through /proc", read_beneath(data, "through_proc"), "-");
  expect("loop", read_beneath(data, "loop"), "-");
  expect("folder as file", read_beneath(data, "sub"), "-");
  expect("missing", read_beneath(data, "none.txt"), "-");
  expect("absolute name", read_beneath(data, dir / "data/a.txt"), "-");
  expect("followed out", read_beneath(data, "out", Links::Anywhere), "outside");

  expect("listing", listing(data, "sub"), "b.txt ");
  expect("listing through a link", listing(data, "absolute_folder"), "b.txt ");
  expect("listing out", listing(data, "outside_folder"), "");
  expect("listing out, followed", listing(data, "outside_folder", Links::Anywhere), "secret.txt ");
  expect("listing a file", listing(data, "a.txt"), "");

  const auto kind = [&](std::string_view relative) {
    switch (data.entry_kind(relative)) {
      case EntryKind::Missing:
        return std::string("missing");
      case EntryKind::Directory:
        return std::string("directory");
      case EntryKind::Other:
        return std::string("other");
    }
    return std::string();
  };
  expect("kind of a folder", kind("sub"), "directory");
  expect("kind of the directory", kind(""), "directory");
  expect("kind of a file", kind("sub/b.txt"), "other");
  expect("kind through a link", kind("absolute_folder"), "directory");
  expect("kind out", kind("outside_folder"), "missing");
  expect("kind out by dots", kind("sub/../../outside"), "missing");

  const BeneathDirectory none(dir / "nowhere");
  expect("unopened", none.is_open() ? "yes" : "no", "no");
  expect("read in unopened", read_beneath(none, "a.txt"), "-");
  return broken;
}

TEST(BeneathDirectory, OpensListsAndTestsOnlyWhatLiesBeneath) {
  testing::TempDir dir;
  make_tree(dir);
  EXPECT_EQ(broken_rules(dir), "");
}

// Runs broken_rules in a child whose openat2 calls fail with error, as on a kernel without
// it (ENOSYS) or under a filter that forbids it (EPERM): the walk of our own takes over.
std::string broken_rules_without_openat2(const testing::TempDir& dir, int error) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & 0xffff)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    std::string broken;
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
      broken = "no filter";
    } else if (::syscall(SYS_openat2, AT_FDCWD, ".", nullptr, 0) != -1 || errno != error) {
      broken = "openat2 still answers";
    } else {
      broken = broken_rules(dir);
    }
    (void)!::write(pipe_ends[1], broken.data(), broken.size());
    ::_exit(0);
  }
  ::close(pipe_ends[1]);
  std::string broken;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) broken.append(buffer, n);
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) broken += "child ended abnormally";
  return broken;
}

TEST(BeneathDirectory, TheWalkOfOurOwnKeepsTheSameRulesWhereOpenat2IsMissingOrForbidden) {
  for (const int error : {ENOSYS, EPERM}) {
    testing::TempDir dir;
    make_tree(dir);
    EXPECT_EQ(broken_rules_without_openat2(dir, error), "") << "openat2 failing with " << error;
  }
}

TEST(BeneathDirectory, TellsNamesBeneathByTheirText) {
  std::string_view rest;
  EXPECT_TRUE(relative_beneath("data/", "data/units/x", rest));
  EXPECT_EQ(rest, "units/x");
  EXPECT_FALSE(relative_beneath("data/", "data/units/../../x", rest));
  EXPECT_FALSE(relative_beneath("data/", "other/units", rest));
  EXPECT_TRUE(relative_beneath("data/", "data/a..b/c", rest));
}

}  // namespace
}  // namespace unitcheck
