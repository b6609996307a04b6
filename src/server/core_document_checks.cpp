#include "server/core_document_checks.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "lint/data_suggestions.h"
#include "lint/enrich.h"
#include "lint/folder_listings.h"
#include "lint/header_checks.h"
#include "lint/inside_directory.h"
#include "lint/line_findings.h"
#include "lint/lint_messages.h"
#include "lint/suggestion_lists.h"
#include "platform/failure.h"
#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/ordered_work.h"
#include "tables/schemas.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/path_bounds.h"
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

}  // namespace

std::vector<DocumentFinding> CoreDocumentChecks::check_unit_table(const UnitTableText& input) {
  std::string root(input.data_directory);
  if (root.empty() || root.back() != '/') root.push_back('/');
  auto [place, added] = file_tests_.try_emplace(root);
  // Only a whole new check follows a save or a change on disk: what the disk said may be stale.
  if (!input.changed && !added) place->second.forget_folder("");
  for (const std::string& path : input.changed_paths) place->second.forget_folder(path);

  Tables schemas;
  create_tables(schemas);
  const std::string real_root = real_path(root);
  // A mod is someone else's: a part list on disk is read only when it lies inside the
  // directory, links followed.
  std::string part_list_text;
  if (!input.part_list) {
    const std::string path = root + "master_part_list.csv";
    if (const std::string target = lint::outside_target(real_root, path); !target.empty()) {
      throw Failure("EFOpenError",
                    "'" + path + "' leads outside the data directory, to '" + target + "'");
    }
    part_list_text = read_whole_file(path);
  }
  const PartList part_list(input.part_list ? *input.part_list : part_list_text);
  std::vector<DocumentFinding> findings;
  // Named members rather than a structured binding: the lambdas below use the header, and
  // clang before 16 cannot capture a binding.
  HeaderAndRows table =
      read_unit_header(UnitChunkReader::from_text(input.document.text()), schemas);
  const UnitHeader& header = table.header;
  UnitChunkReader& unit_rows = table.rows;
  lint::check_header(header, schemas.units, [&](const lint::HeaderFinding& finding) {
    lint::LintFinding described = lint::enrich(finding);
    described.line_text = header.line;
    lint::word(described);
    findings.push_back(placed(described));
  });

  // Suggestions are drawn as unitlint draws them.
  lint::DataSuggestions suggestions(part_list, root, real_root);

  CollectingWriter writer(findings);
  writer.set_context({&suggestions.lists(), header.plans});
  const PathJudging paths{real_root};
  const UnitRows rows = check_unit_rows(header, unit_rows, part_list, root, place->second, writer,
                                        checking_threads(), &paths);
  // A table that checks no unit says so, as a run of unitlint does.
  if (rows.checked_lines == 0) {
    const auto keyless = std::count_if(findings.begin(), findings.end(), [](const auto& finding) {
      return finding.rule == lint::Rule::EmptyKey;
    });
    lint::LintFinding none = lint::enrich_no_units_checked(keyless);
    lint::word(none);
    findings.push_back(placed(none));
  }
  return findings;
}

}  // namespace unitcheck::server
