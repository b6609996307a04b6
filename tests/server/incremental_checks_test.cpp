// The language server's checks after edits, against a whole check of the same text: random
// edits of the sample table (inside a line, lines inserted, removed and joined, the header
// edited, CR and CR LF line ends, blank and keyless lines, the table emptied) go through the
// server's own content changes, and the findings kept and made must be those a fresh check
// finds; files made on disk change the findings of the lines that name them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "server/content_change.h"
#include "server/core_document_checks.h"
#include "support/temp_dir.h"

namespace unitcheck::server {
namespace {

using testing::TempDir;

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The sample data directory, copied so that a test may change it.
struct SampleData {
  SampleData() {
    std::filesystem::copy(UNITCHECK_EXAMPLE_DATA, temp.path() / "data",
                          std::filesystem::copy_options::recursive);
  }
  std::string root() const { return temp / "data/"; }
  std::string table() const { return read_file(temp.path() / "data/units/units.csv"); }
  TempDir temp;
};

std::string describe(const std::vector<DocumentFinding>& findings) {
  std::string out;
  for (const DocumentFinding& finding : findings) {
    out += std::to_string(finding.line) + ":" + std::to_string(finding.begin) + "-" +
           std::to_string(finding.end) + " " + std::string(lint::rule_info(finding.rule).id) + " " +
           finding.message + "\n";
  }
  return out;
}

// A document as the server holds it: the text, the lines changed since its last findings, and
// those findings, checked as the server checks them.
struct EditedTable {
  EditedTable(std::string text, std::string root)
      : document(std::move(text)), root(std::move(root)) {}

  // Replaces the bytes [begin, end) as a client's range change would.
  void edit(std::size_t begin, std::size_t end, std::string_view text) {
    const Position start = document.position_of(begin, PositionEncoding::Utf8);
    const Position stop = document.position_of(end, PositionEncoding::Utf8);
    Json change{{"range",
                 {{"start", {{"line", start.line}, {"character", start.character}}},
                  {"end", {{"line", stop.line}, {"character", stop.character}}}}},
                {"text", std::string(text)}};
    ASSERT_EQ(apply_content_change(document, change, PositionEncoding::Utf8, changed), "");
  }

  const std::vector<DocumentFinding>& check(std::span<const std::string> changed_paths = {}) {
    findings =
        checks.check_unit_table({document, root, std::nullopt, changed, findings, changed_paths});
    changed = ChangedLines{};
    return findings;
  }

  TextDocument document;
  std::string root;
  CoreDocumentChecks checks;
  std::optional<ChangedLines> changed;
  std::vector<DocumentFinding> findings;
};

// What a check of the whole text finds, by checks that have kept nothing.
std::vector<DocumentFinding> fresh_check(const TextDocument& document, const std::string& root) {
  CoreDocumentChecks checks;
  return checks.check_unit_table({document, root, std::nullopt, std::nullopt, {}, {}});
}

// Values that pass or fail the sample's columns in many ways.
const std::vector<std::string> kValues = {"",
                                          "flase",
                                          "TRUE",
                                          "1.5",
                                          "110.5.0",
                                          "1,5",
                                          "{x;",
                                          "hornet",
                                          "no-such",
                                          "talon-cockpit",
                                          "wasp.mesh",
                                          "{hornet.mesh;}",
                                          "../..",
                                          "/etc",
                                          "\xC3\xA9t\xC3\xA9",
                                          "a;b;c",
                                          "12abc",
                                          ",",
                                          ",,",
                                          "{a;b;c;d;e;f;g;}"};

class RandomEdits {
 public:
  explicit RandomEdits(unsigned seed) : random_(seed) {}

  std::size_t pick(std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
  }

  // One random edit of the table; some kinds are rarer than others.
  void apply(EditedTable& table) {
    const TextDocument& document = table.document;
    const std::size_t lines = document.line_count();
    const std::size_t line = pick(lines);
    const std::size_t start = document.line_start(line);
    const std::size_t length = document.line(line).size();
    const std::size_t kind = pick(100);
    if (kind < 45) {  // a piece of a line replaced by a value
      const std::size_t begin = start + pick(length + 1);
      const std::size_t end = begin + pick(std::min<std::size_t>(start + length - begin, 12) + 1);
      table.edit(begin, end, kValues[pick(kValues.size())]);
    } else if (kind < 58) {  // a copy of a line inserted, with one of the three line ends
      static const char* const kEnds[] = {"\n", "\r\n", "\r"};
      const std::string copy(document.line(pick(lines)));
      table.edit(start, start, copy + kEnds[pick(3)]);
    } else if (kind < 68) {  // a line removed with its line end
      const std::size_t end = line + 1 < lines ? document.line_start(line + 1) : document.size();
      table.edit(start, end, "");
    } else if (kind < 76) {  // a line joined to the next
      if (line + 1 < lines) table.edit(start + length, document.line_start(line + 1), "");
    } else if (kind < 82) {  // a line end changed to CR or CR LF
      if (line + 1 < lines)
        table.edit(start + length, document.line_start(line + 1), pick(2) ? "\r" : "\r\n");
    } else if (kind < 90) {  // a blank or a keyless line inserted
      table.edit(start, start, pick(2) ? "\n" : ",keyless,Keyless\n");
    } else if (kind < 96) {  // the header edited
      const std::size_t at = pick(document.line(0).size() + 1);
      table.edit(at, at, pick(2) ? "x" : ",");
    } else if (kind < 98) {  // every line but the header removed
      table.edit(document.line(0).size(), document.size(), "");
    } else {  // the whole table emptied
      table.edit(0, document.size(), "");
    }
  }

 private:
  std::mt19937 random_;
};

TEST(IncrementalChecks, RandomEditsFindWhatAWholeCheckFinds) {
  const SampleData data;
  const std::string sample = data.table();
  for (unsigned seed = 1; seed <= 12; ++seed) {
    EditedTable table(sample, data.root());
    table.check();
    RandomEdits edits(seed);
    for (int step = 0; step < 120; ++step) {
      // Several edits between checks join their changed lines.
      for (std::size_t count = edits.pick(3) + 1; count > 0; --count) edits.apply(table);
      const std::vector<DocumentFinding> after = table.check();
      const std::vector<DocumentFinding> whole = fresh_check(table.document, data.root());
      ASSERT_EQ(describe(after), describe(whole))
          << "seed " << seed << ", step " << step << ", text:\n"
          << table.document.text();
      ASSERT_EQ(after, whole);
      // A table emptied is filled again, so that the edits go on over data lines.
      if (table.document.line_count() < 4) {
        table.edit(0, table.document.size(), sample);
        table.check();
      }
    }
  }
}

TEST(IncrementalChecks, FilesMadeOnDiskChangeTheLinesThatNameThem) {
  const SampleData data;
  EditedTable table(data.table(), data.root());
  // Whether the findings hold one of the rule on the line.
  const auto found = [&](std::size_t line, std::string_view rule) {
    return std::any_of(table.findings.begin(), table.findings.end(), [&](const auto& finding) {
      return finding.line == line && lint::rule_info(finding.rule).id == rule;
    });
  };
  table.check();
  ASSERT_TRUE(found(4, "mesh-missing"));

  // The talon's shield made in its directory: its finding goes, the others stay.
  const std::string shield = data.temp / "data/units/talon/talon-shield.mesh";
  data.temp.write("data/units/talon/talon-shield.mesh", "mesh");
  const std::vector<std::string> made{shield};
  table.check(made);
  EXPECT_FALSE(found(4, "mesh-missing"));
  EXPECT_EQ(describe(table.findings), describe(fresh_check(table.document, data.root())));

  // A unit named in a new line whose directory is missing, then made: the new folder is a
  // change on disk like a file.
  const std::size_t end = table.document.size();
  std::string line(table.document.line(2));
  line.replace(0, line.find(',', line.find(',') + 1), "gull,gull");
  table.edit(end, end, line + "\n");
  table.check();
  const std::size_t gull = table.document.line_count() - 2;
  EXPECT_TRUE(found(gull, "directory-missing")) << describe(table.findings);
  data.temp.make_directory("data/units/gull");
  const std::vector<std::string> folder{data.temp / "data/units/gull"};
  table.check(folder);
  EXPECT_EQ(describe(table.findings), describe(fresh_check(table.document, data.root())))
      << describe(table.findings);
  EXPECT_FALSE(found(gull, "directory-missing"));

  // A folder whose name no line holds, but which the words of a missing directory now
  // suggest.
  line.replace(0, 9, "mewx,mewx");
  table.edit(table.document.size(), table.document.size(), line + "\n");
  table.check();
  const std::size_t mewx = table.document.line_count() - 2;
  const auto message = [&] {
    for (const DocumentFinding& finding : table.findings)
      if (finding.line == mewx && finding.rule == lint::Rule::DirectoryMissing)
        return finding.message;
    return std::string();
  };
  const std::string before = message();
  data.temp.make_directory("data/units/newx");
  const std::vector<std::string> near{data.temp / "data/units/newx"};
  table.check(near);
  EXPECT_NE(message(), before);
  EXPECT_NE(message().find("\"newx\""), std::string::npos) << message();
  EXPECT_EQ(describe(table.findings), describe(fresh_check(table.document, data.root())));

  // A cockpit folder made and a mesh removed at once, and the meshes folder reported itself:
  // the findings are those of a whole check each time.
  data.temp.make_directory("data/cockpits/no-cockpit");
  std::filesystem::remove(data.temp.path() / "data/meshes/shield-sphere.mesh");
  const std::vector<std::string> both{data.temp / "data/cockpits/no-cockpit",
                                      data.temp / "data/meshes/shield-sphere.mesh"};
  table.check(both);
  EXPECT_EQ(describe(table.findings), describe(fresh_check(table.document, data.root())));
  std::filesystem::remove(data.temp.path() / "data/units/talon/talon-shield.mesh");
  const std::vector<std::string> meshes{data.temp / "data/meshes", shield};
  table.check(meshes);
  EXPECT_EQ(describe(table.findings), describe(fresh_check(table.document, data.root())));
}

}  // namespace
}  // namespace unitcheck::server
