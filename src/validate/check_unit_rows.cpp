#include "validate/check_unit_rows.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "csv/line_chunks.h"
#include "platform/ordered_work.h"
#include "validate/cached_file_tests.h"
#include "validate/row_checks.h"
#include "validate/unit_header.h"

namespace unitcheck {

namespace {

// The rendered text a chunk may hold before it hands it over, waiting for the earlier chunks if
// need be: output on the scale of the input waits for the writer rather than piling up.
constexpr std::size_t kHeldBackText = 256 * 1024;
// Past kEarlyText, a chunk tries, every kTryStep more, to hand over without waiting, which it
// may at the head of the reading order: each chunk of the ring keeps room for the most text it
// has held, and unitlint's SARIF and JSON write about 100 KB a chunk of the usual tables,
// unitcheck a fifth of that. Waiting there instead would stall the checking threads, which
// mostly run abreast.
constexpr std::size_t kEarlyText = 32 * 1024;
constexpr std::size_t kTryStep = 4 * 1024;

// Renders the findings of the chunk being checked into its output.
class ChunkSink final : public FindingSink {
 public:
  explicit ChunkSink(const FindingWriter& writer) : writer_(writer) {
    held_.reserve(group_limit_);
    folders_.resize(group_limit_);
  }

  void start(WorkChunk& chunk, const HandOver& hand_over) {
    chunk_ = &chunk;
    hand_over_ = &hand_over;
    next_try_ = kEarlyText;
  }

  void report(const Finding& finding) override {
    if (group_limit_ == 0) {
      writer_.render(finding, chunk_->output, *state_);
      hand_over_if_long();
      return;
    }
    if (held_.size() == group_limit_) end_line();
    held_.push_back(finding);
    // A missing mesh's folder is a view of the file tests' scratch path, which the next test
    // overwrites: the held copy keeps its own.
    if (!finding.folder.empty()) {
      folders_[held_.size() - 1].assign(finding.folder);
      held_.back().folder = folders_[held_.size() - 1];
    }
  }

  // The line's findings are all reported: a writer that words them together gets them now.
  void end_line() {
    if (held_.empty()) return;
    writer_.render_line_findings(held_, chunk_->output, *state_);
    held_.clear();
    hand_over_if_long();
  }

 private:
  void hand_over_if_long() {
    const std::string& text = chunk_->output;
    if (text.size() < next_try_) return;
    if (text.size() >= kHeldBackText) {
      (*hand_over_)(Wait::Yes);
      next_try_ = kEarlyText;
    } else {
      next_try_ =
          (*hand_over_)(Wait::No) ? kEarlyText : std::min(text.size() + kTryStep, kHeldBackText);
    }
  }

  const FindingWriter& writer_;
  const std::size_t group_limit_ = writer_.line_group_limit();
  std::vector<Finding> held_;         // the line's findings, up to group_limit_
  std::vector<std::string> folders_;  // their folders, by index
  const std::unique_ptr<RenderState> state_ = writer_.make_render_state();  // the writer's own
  WorkChunk* chunk_ = nullptr;
  const HandOver* hand_over_ = nullptr;
  std::size_t next_try_ = kEarlyText;  // the text's length at which to try a hand-over
};

// The checker of one thread.
struct ChunkChecker {
  ChunkChecker(const UnitHeader& header, const PartList& part_list, std::string_view data_directory,
               FileTests& file_tests, const FindingWriter& writer, const PathJudging* paths)
      : sink(writer), rows(header, part_list, data_directory, file_tests, sink, paths) {}

  // Each line is looked ahead at two lines before it is checked, so that the memory its file
  // tests read is on its way.
  void check(WorkChunk& chunk, const HandOver& hand_over) {
    sink.start(chunk, hand_over);
    std::int64_t row = chunk.number;
    std::string_view waiting[2];  // looked ahead at, not checked yet: the older first
    int waiting_count = 0;
    auto check_line = [&](std::string_view line) {
      if (rows.check_line(line, row)) ++checked_lines;
      sink.end_line();
      ++row;
    };
    // The reader found the lines' ends already and keeps them after the chunk's text.
    for_each_chunk_line(chunk.buffer, chunk.input, [&](std::string_view line) {
      rows.look_ahead(line);
      if (waiting_count == 2) {
        check_line(waiting[0]);
        waiting[0] = waiting[1];
        waiting[1] = line;
      } else {
        waiting[waiting_count++] = line;
      }
    });
    for (int k = 0; k < waiting_count; ++k) check_line(waiting[k]);
  }

  ChunkSink sink;
  RowChecker rows;
  std::int64_t checked_lines = 0;
};

}  // namespace

UnitRows check_unit_rows(const UnitHeader& header, UnitChunkReader& rows, const PartList& part_list,
                         std::string_view data_directory, FindingWriter& writer,
                         unsigned worker_threads, const PathJudging* paths) {
  // Sixteen locked shards take kilobytes: on the heap, they leave the stack, which may be as
  // small as the user's limit makes it, to the calls that start the threads.
  const auto file_tests = std::make_unique<CachedFileTests>(std::string(data_directory));
  return check_unit_rows(header, rows, part_list, data_directory, *file_tests, writer,
                         worker_threads, paths);
}

UnitRows check_unit_rows(const UnitHeader& header, UnitChunkReader& rows, const PartList& part_list,
                         std::string_view data_directory, FileTests& file_tests,
                         FindingWriter& writer, unsigned worker_threads, const PathJudging* paths) {
  std::vector<std::unique_ptr<ChunkChecker>> checkers;
  for (unsigned k = 0; k < std::max(worker_threads, 1u); ++k)
    checkers.push_back(std::make_unique<ChunkChecker>(header, part_list, data_directory, file_tests,
                                                      writer, paths));

  std::int64_t next_row = header.first_row;
  OrderedWork work;
  work.produce = [&](WorkChunk& chunk) {
    LineChunk lines;
    if (!rows.next(chunk.buffer, lines)) return false;
    chunk.input = lines.text;
    chunk.number = next_row;
    next_row += lines.line_count;
    return true;
  };
  work.process = [&](unsigned worker, WorkChunk& chunk, const HandOver& hand_over) {
    checkers[worker]->check(chunk, hand_over);
  };
  work.consume = [&](WorkChunk& chunk) {
    writer.write(chunk.output);
    chunk.output.clear();
  };
  run_ordered_work(work, worker_threads);

  UnitRows result;
  for (const auto& checker : checkers) {
    checker->rows.flush_lengths(result.max_lengths);
    result.checked_lines += checker->checked_lines;
  }
  result.lines = next_row - header.first_row;
  return result;
}

}  // namespace unitcheck
