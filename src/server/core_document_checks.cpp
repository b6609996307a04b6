#include "server/core_document_checks.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "lint/data_suggestions.h"
#include "lint/enrich.h"
#include "lint/folder_listings.h"
#include "lint/header_checks.h"
#include "lint/line_findings.h"
#include "lint/lint_messages.h"
#include "lint/suggestion_lists.h"
#include "platform/file_system.h"
#include "platform/ordered_work.h"
#include "platform/text_source.h"
#include "server/changed_paths.h"
#include "server/part_list_source.h"
#include "tables/schemas.h"
#include "validate/cached_file_tests.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/path_bounds.h"
#include "validate/row_checks.h"
#include "validate/unit_header.h"

namespace unitcheck::server {
namespace {

// A finding crosses from the checking threads to the writer's thread as bytes: its fields,
// each string after its length.
void append_size(std::string& out, std::size_t value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}
std::size_t read_size(std::string_view& in) {
  std::size_t value = 0;
  std::memcpy(&value, in.data(), sizeof value);
  in.remove_prefix(sizeof value);
  return value;
}
void append_text(std::string& out, std::string_view text) {
  append_size(out, text.size());
  out.append(text);
}
std::string_view read_text(std::string_view& in) {
  const std::size_t size = read_size(in);
  const std::string_view text = in.substr(0, size);
  in.remove_prefix(size);
  return text;
}

// A worded lint finding as the server places it: its 1-based byte columns become the byte range.
DocumentFinding placed(const lint::LintFinding& finding) {
  DocumentFinding out;
  out.line = static_cast<std::size_t>(finding.line > 0 ? finding.line - 1 : 0);
  out.begin = static_cast<std::size_t>(finding.column > 0 ? finding.column - 1 : 0);
  out.end = std::max(out.begin,
                     static_cast<std::size_t>(finding.end_column > 0 ? finding.end_column - 1 : 0));
  out.rule = finding.rule;
  out.severity = finding.severity;
  out.message = finding.message;
  if (finding.fix.any()) out.replacement = finding.fix.replacement;
  return out;
}

void append_finding(std::string& out, const DocumentFinding& finding) {
  append_size(out, finding.line);
  append_size(out, finding.begin);
  append_size(out, finding.end);
  out.push_back(static_cast<char>(finding.rule));
  out.push_back(static_cast<char>(finding.severity));
  append_text(out, finding.message);
  out.push_back(finding.replacement ? 1 : 0);
  if (finding.replacement) append_text(out, *finding.replacement);
}

DocumentFinding read_finding(std::string_view& in) {
  DocumentFinding finding;
  finding.line = read_size(in);
  finding.begin = read_size(in);
  finding.end = read_size(in);
  finding.rule = static_cast<lint::Rule>(static_cast<unsigned char>(in[0]));
  finding.severity = static_cast<lint::Severity>(static_cast<unsigned char>(in[1]));
  in.remove_prefix(2);
  finding.message = std::string(read_text(in));
  const bool fixed = in[0] != 0;
  in.remove_prefix(1);
  if (fixed) finding.replacement = std::string(read_text(in));
  return finding;
}

// The unit lines' findings, enriched and worded as unitlint words them, gathered in the order
// of the text.
class CollectingWriter final : public FindingWriter {
 public:
  explicit CollectingWriter(std::vector<DocumentFinding>& out) : out_(out) {}
  void set_context(lint::FindingContext context) { context_ = context; }

  void render(const Finding& finding, std::string& text, RenderState& /*state*/) const override {
    lint::LintFinding described;
    lint::enrich(finding, context_, described);
    add(described, text);
  }
  std::size_t line_group_limit() const override { return 256; }
  void render_line_findings(std::span<const Finding> findings, std::string& text,
                            RenderState& /*state*/) const override {
    std::vector<lint::LintFinding> described;
    lint::enrich_line(findings, context_, described);
    for (lint::LintFinding& finding : described) add(finding, text);
  }
  void write(std::string_view text) override {
    while (!text.empty()) out_.push_back(read_finding(text));
  }

 private:
  static void add(lint::LintFinding& finding, std::string& text) {
    lint::word(finding);
    append_finding(text, placed(finding));
  }

  std::vector<DocumentFinding>& out_;
  lint::FindingContext context_;
};

// The text of a document read block after block: a whole check reads it without joining it.
class DocumentSource final : public TextSource {
 public:
  explicit DocumentSource(const TextDocument& document)
      : document_(document), rest_(document.size()) {}

  std::size_t read(char* buffer, std::size_t size) override {
    std::size_t count = 0;
    while (count < size && block_ < document_.block_count()) {
      const std::string_view block = document_.block(block_);
      const std::size_t taken = std::min(size - count, block.size() - at_);
      if (taken != 0) std::memcpy(buffer + count, block.data() + at_, taken);
      count += taken;
      at_ += taken;
      if (at_ == block.size()) {
        ++block_;
        at_ = 0;
      }
    }
    rest_ -= count;
    return count;
  }
  std::size_t expected_rest() const override { return rest_; }

 private:
  const TextDocument& document_;
  std::size_t block_ = 0;  // the block being read
  std::size_t at_ = 0;     // the next byte of it
  std::size_t rest_;
};

// Checks fewer bytes than this on the calling thread: starting the workers costs more than a
// few lines take.
constexpr std::size_t kBytesForThreads = std::size_t{1} << 20;

// The findings of the missing-file rules are worded from the folders' listings.
bool is_path_rule(lint::Rule rule) {
  return rule == lint::Rule::DirectoryMissing || rule == lint::Rule::CockpitMissing ||
         rule == lint::Rule::MeshMissing;
}

// The lines of a document to check again (sorted, from the first data line) and the earlier
// findings kept, moved to the lines they now lie on, without the run's finding.
struct Recheck {
  std::vector<std::size_t> lines;
  std::vector<DocumentFinding> kept;
};

// The lines an edit made, those that may name a changed path (with those whose findings were
// worded from the folders' listings), and the findings of every other line.
Recheck lines_to_recheck(const UnitTableText& input, std::span<const std::string> names) {
  const ChangedLines changed = *input.changed;
  const std::size_t line_count = input.document.line_count();
  const std::ptrdiff_t moved = static_cast<std::ptrdiff_t>(changed.new_count) -
                               static_cast<std::ptrdiff_t>(changed.old_count);
  Recheck out;
  std::vector<std::size_t> path_lines;
  for (const DocumentFinding& finding : input.previous) {
    if (finding.rule == lint::Rule::NoUnitsChecked) continue;
    DocumentFinding kept = finding;
    if (finding.line >= changed.first + changed.old_count) {
      kept.line = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(finding.line) + moved);
    } else if (finding.line >= changed.first) {
      continue;  // on a line the edits replaced
    }
    if (!names.empty() && is_path_rule(kept.rule)) path_lines.push_back(kept.line);
    out.kept.push_back(std::move(kept));
  }
  const std::size_t end = std::min(changed.first + changed.new_count, line_count);
  for (std::size_t line = std::max(changed.first, kFirstDataLine); line < end; ++line)
    out.lines.push_back(line);
  if (!names.empty()) {
    for (std::size_t line = kFirstDataLine; line < line_count; ++line)
      if (names_any(input.document.line(line), names)) path_lines.push_back(line);
  }
  out.lines.insert(out.lines.end(), path_lines.begin(), path_lines.end());
  std::sort(out.lines.begin(), out.lines.end());
  out.lines.erase(std::unique(out.lines.begin(), out.lines.end()), out.lines.end());
  std::erase_if(out.kept, [&](const DocumentFinding& finding) {
    return std::binary_search(out.lines.begin(), out.lines.end(), finding.line);
  });
  return out;
}

// The lines to check again, read as one text from the first of them, the lines between left
// blank (a blank line has no finding): the rows are numbered from the first line on. They are
// read from the document rather than joined, so that a long line is not held once more.
class LinesSource final : public TextSource {
 public:
  LinesSource(const TextDocument& document, std::span<const std::size_t> lines)
      : document_(document), lines_(lines), next_line_(lines.front()) {
    for (const std::size_t line : lines) rest_ += document.line(line).size() + 1;
    rest_ += lines.back() + 1 - lines.front() - lines.size();
  }

  std::size_t read(char* buffer, std::size_t size) override {
    std::size_t count = 0;
    while (count < size && at_ < lines_.size()) {
      const std::size_t line = lines_[at_];
      if (next_line_ < line) {
        const std::size_t blanks = std::min(size - count, line - next_line_);
        std::memset(buffer + count, '\n', blanks);
        count += blanks;
        next_line_ += blanks;
        continue;
      }
      const std::string_view text = document_.line(line);
      if (offset_ < text.size()) {
        const std::size_t taken = std::min(size - count, text.size() - offset_);
        std::memcpy(buffer + count, text.data() + offset_, taken);
        count += taken;
        offset_ += taken;
        continue;
      }
      buffer[count++] = '\n';
      offset_ = 0;
      ++at_;
      next_line_ = line + 1;
    }
    rest_ -= std::min(rest_, count);
    return count;
  }
  std::size_t expected_rest() const override { return rest_; }

 private:
  const TextDocument& document_;
  std::span<const std::size_t> lines_;  // ascending
  std::size_t at_ = 0;                  // the line of lines_ being read
  std::size_t next_line_;               // the document's line that comes next
  std::size_t offset_ = 0;              // the next byte of lines_[at_]
  std::size_t rest_ = 0;
};

// Whether a line outside the rechecked ones holds a unit; the search stops at the first.
bool unit_line_outside(const TextDocument& document, std::span<const std::size_t> rechecked) {
  for (std::size_t line = kFirstDataLine; line < document.line_count(); ++line) {
    if (!std::binary_search(rechecked.begin(), rechecked.end(), line) &&
        is_unit_line(document.line(line)))
      return true;
  }
  return false;
}

// The run's finding for a table that checks no unit, as a run of unitlint reports it.
DocumentFinding no_units_checked(std::span<const DocumentFinding> findings) {
  const auto keyless = std::count_if(findings.begin(), findings.end(), [](const auto& finding) {
    return finding.rule == lint::Rule::EmptyKey;
  });
  lint::LintFinding none = lint::enrich_no_units_checked(keyless);
  lint::word(none);
  return placed(none);
}

}  // namespace

struct CoreDocumentChecks::Directory {
  CachedFileTests file_tests;
  BeneathDirectory opened;  // the directory, opened again with each whole check
  std::string real_root;
  std::unique_ptr<PartList> part_list;
  std::unique_ptr<lint::DataSuggestions> suggestions;
  std::optional<UnitHeader> header;  // of the last whole check
};

CoreDocumentChecks::CoreDocumentChecks() : schemas_(std::make_unique<Tables>()) {
  create_tables(*schemas_);
}

CoreDocumentChecks::~CoreDocumentChecks() = default;

std::vector<DocumentFinding> CoreDocumentChecks::check_unit_table(const UnitTableText& input) {
  std::string root(input.data_directory);
  if (root.empty() || root.back() != '/') root.push_back('/');
  auto [place, added] = directories_.try_emplace(root);
  if (added) place->second = std::make_unique<Directory>();
  Directory& directory = *place->second;
  // A whole new check follows a save or a change on disk: what the disk said may be stale.
  if (!input.changed && !added) directory.file_tests.forget_folder("");
  for (const std::string& path : input.changed_paths) directory.file_tests.forget_folder(path);

  const PathsToRecheck paths = paths_to_recheck(input.changed_paths, root);
  if (!input.changed || paths.whole || !directory.part_list) {
    directory.part_list.reset();
    directory.suggestions.reset();
    directory.header.reset();
    directory.opened = BeneathDirectory(root);
    directory.real_root = directory.opened.real_path();
    directory.part_list = read_part_list(input.part_list, root, directory.opened);
  }
  // Suggestions are drawn as unitlint draws them, from listings that a change on disk outdates.
  if (!directory.suggestions || !input.changed_paths.empty()) {
    directory.suggestions =
        std::make_unique<lint::DataSuggestions>(*directory.part_list, root, directory.opened);
  }
  const TextDocument& document = input.document;
  const bool header_same = directory.header && input.changed &&
                           (input.changed->first > 0 ||
                            (input.changed->old_count == 0 && input.changed->new_count == 0)) &&
                           document.line(0) == directory.header->line;

  std::vector<DocumentFinding> findings;
  std::optional<UnitChunkReader> whole_rows;
  std::optional<Recheck> recheck;
  if (header_same) {
    recheck = lines_to_recheck(input, paths.names);
  } else {
    // Named members rather than a structured binding: clang before 16 cannot capture one.
    HeaderAndRows table =
        read_unit_header(UnitChunkReader(std::make_unique<DocumentSource>(document)), *schemas_);
    directory.header.emplace(std::move(table.header));
    whole_rows.emplace(std::move(table.rows));
    const UnitHeader& header = *directory.header;
    lint::check_header(header, schemas_->units, [&](const lint::HeaderFinding& finding) {
      lint::LintFinding described = lint::enrich(finding);
      described.line_text = header.line;
      lint::word(described);
      findings.push_back(placed(described));
    });
  }

  UnitHeader& header = *directory.header;
  CollectingWriter writer(findings);
  writer.set_context({&directory.suggestions->lists(), header.plans});
  const PathJudging judging{directory.real_root};
  std::int64_t checked_lines = 0;
  if (whole_rows) {
    header.first_row = kFirstUnitRow;
    checked_lines = check_unit_rows(header, *whole_rows, *directory.part_list, root,
                                    directory.file_tests, writer, checking_threads(), &judging)
                        .checked_lines;
  } else if (!recheck->lines.empty()) {
    header.first_row = static_cast<std::int64_t>(recheck->lines.front()) + 1;
    auto lines = std::make_unique<LinesSource>(document, recheck->lines);
    const unsigned threads = lines->expected_rest() < kBytesForThreads ? 0 : checking_threads();
    UnitChunkReader rows(std::move(lines));
    checked_lines = check_unit_rows(header, rows, *directory.part_list, root, directory.file_tests,
                                    writer, threads, &judging)
                        .checked_lines;
    header.first_row = kFirstUnitRow;
  }

  if (recheck) {
    // The findings of the lines checked again take the place of theirs among those kept.
    std::vector<DocumentFinding> merged;
    merged.reserve(recheck->kept.size() + findings.size());
    std::merge(std::make_move_iterator(recheck->kept.begin()),
               std::make_move_iterator(recheck->kept.end()),
               std::make_move_iterator(findings.begin()), std::make_move_iterator(findings.end()),
               std::back_inserter(merged),
               [](const DocumentFinding& a, const DocumentFinding& b) { return a.line < b.line; });
    findings = std::move(merged);
    // The lines outside the edits held no unit when the run's finding was there.
    const bool none_before = std::any_of(
        input.previous.begin(), input.previous.end(),
        [](const DocumentFinding& finding) { return finding.rule == lint::Rule::NoUnitsChecked; });
    if (checked_lines == 0 && !none_before && unit_line_outside(document, recheck->lines))
      checked_lines = 1;
  }
  // A table that checks no unit says so, as a run of unitlint does.
  if (checked_lines == 0) findings.push_back(no_units_checked(findings));
  return findings;
}

}  // namespace unitcheck::server
