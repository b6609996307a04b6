// A second thread swaps the part list and the unit table between their own files and links to
// files outside the data directory, as fast as it can, while unitcheck, unitlint in every form
// and the language server's part-list read run beside it. No byte of the outside files may
// reach any output; unitlint --follow-links, which may read them, shows that the swaps land.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "driver/run.h"
#include "lint/core_data_check.h"
#include "lint/output.h"
#include "lint/run_lint.h"
#include "platform/beneath.h"
#include "platform/failure.h"
#include "server/part_list_source.h"
#include "support/temp_dir.h"

namespace unitcheck {
namespace {

// Only the outside files hold this text.
constexpr std::string_view kOutsideMark = "7f3a";

// Keeps swapping relative (under data) between its own text and a link to outside: each state
// is made beside it and renamed over it, so that every open sees one or the other.
class Swapper {
 public:
  Swapper(const testing::TempDir& dir, std::vector<std::pair<std::string, std::string>> swaps)
      : dir_(dir), swaps_(std::move(swaps)), thread_([this] { run(); }) {}
  ~Swapper() {
    stop_ = true;
    thread_.join();
  }
  long swaps() const { return count_; }

 private:
  void run() {
    while (!stop_) {
      for (const auto& [relative, outside] : swaps_) {
        const std::string target = dir_ / ("data/" + relative);
        const std::string link = target + ".link", copy = target + ".copy";
        ::unlink(link.c_str());
        if (::symlink(outside.c_str(), link.c_str()) == 0) ::rename(link.c_str(), target.c_str());
        if (::link((target + ".own").c_str(), copy.c_str()) == 0)
          ::rename(copy.c_str(), target.c_str());
        ++count_;
      }
    }
  }

  const testing::TempDir& dir_;
  std::vector<std::pair<std::string, std::string>> swaps_;
  std::atomic<bool> stop_ = false;
  std::atomic<long> count_ = 0;
  std::thread thread_;
};

std::string unitcheck_output(const std::string& directory) {
  std::string transcript;
  Console console(transcript);
  run_program(console, Invocation{directory, std::nullopt, 2});
  return transcript;
}

std::string unitlint_output(const std::string& directory, const char* format, bool follow) {
  std::vector<const char*> arguments = {"unitlint", "--format", format};
  if (follow) arguments.push_back("--follow-links");
  arguments.push_back(directory.c_str());
  std::string out, err;
  lint::StringOutput out_text(out), err_text(err);
  lint::CoreDataCheck check;
  lint::run_command_line(
      lint::parse_command_line(static_cast<int>(arguments.size()), arguments.data()),
      {out_text, err_text}, check);
  return out + err;
}

std::string server_part_names(const std::string& root) {
  std::string names;
  try {
    const BeneathDirectory opened(root);
    const auto part_list = server::read_part_list(std::nullopt, root, opened);
    part_list->parts.categories().for_each([&](std::string_view name) { names.append(name); });
  } catch (const Failure& failure) {
    names = failure.message();  // names the path and where it leads, never what it holds
  }
  return names;
}

TEST(BeneathRace, NoOutsideByteReachesAnyOutputWhileDataFilesAreSwapped) {
  testing::TempDir dir;
  dir.write("outside/parts.csv", "file,categoryname\nsecret_7f3a,OUTSIDE/CATEGORY-7f3a\n");
  dir.write("outside/units.csv",
            "Key,Column_7f3a\n\nkey_7f3a,{x;OUTSIDE/CATEGORY-7f3a;1;1;1;1;1;1;;0}\n");
  const std::string own_parts = "file,categoryname\nLaser,Weapons/Guns\n";
  const std::string own_units =
      "Key,Cargo\n\nfighter,{nopart;OUTSIDE/CATEGORY-7f3b;1;1;1;1;1;1;;0}\n";
  dir.write("data/master_part_list.csv", own_parts);
  dir.write("data/master_part_list.csv.own", own_parts);
  dir.write("data/units/units.csv", own_units);
  dir.write("data/units/units.csv.own", own_units);
  const std::string data = dir / "data/";

  // The swaps land: a run that may follow links out reads the outside files at times.
  int followed_out = 0;
  int clean_runs = 0;
  std::vector<std::string> leaks;
  {
    const Swapper swapper(dir, {{"master_part_list.csv", dir / "outside/parts.csv"},
                                {"units/units.csv", dir / "outside/units.csv"}});
    for (int round = 0; round < 150; ++round) {
      if (unitlint_output(data, "text", true).find(kOutsideMark) != std::string::npos)
        ++followed_out;
      std::vector<std::string> outputs = {unitcheck_output(data), server_part_names(data)};
      for (const char* format : {"text", "json", "sarif", "github", "html"})
        outputs.push_back(unitlint_output(data, format, false));
      for (const std::string& output : outputs) {
        if (output.find(kOutsideMark) != std::string::npos) leaks.push_back(output);
        if (output.find("OUTSIDE/CATEGORY-7f3b") != std::string::npos) ++clean_runs;
      }
    }
    EXPECT_GT(swapper.swaps(), 150);
  }
  EXPECT_GT(followed_out, 0);
  EXPECT_GT(clean_runs, 0);  // some runs read the data itself through the swaps
  ASSERT_TRUE(leaks.empty()) << leaks.size() << " outputs hold outside text, the first:\n"
                             << leaks.front();
}

}  // namespace
}  // namespace unitcheck
