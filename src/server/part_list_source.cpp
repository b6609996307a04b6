#include "server/part_list_source.h"

#include "lint/inside_directory.h"
#include "platform/failure.h"
#include "platform/input_file.h"

namespace unitcheck::server {

std::unique_ptr<PartList> read_part_list(std::optional<std::string_view> editor_text,
                                         const std::string& root,
                                         const BeneathDirectory& directory) {
  if (editor_text) return std::make_unique<PartList>(*editor_text);
  const std::string& real_root = directory.real_path();
  const std::string path = root + "master_part_list.csv";
  if (const std::string target = lint::outside_target(real_root, path); !target.empty()) {
    throw Failure("EFOpenError",
                  "'" + path + "' leads outside the data directory, to '" + target + "'");
  }
  // The test above names where a link leads; the open itself, from the directory's handle, is
  // what keeps a link swapped in since then from being read.
  InputFile file(path, directory.open_file("master_part_list.csv"));
  return std::make_unique<PartList>(read_whole_file(file));
}

}  // namespace unitcheck::server
