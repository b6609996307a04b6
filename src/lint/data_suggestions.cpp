#include "lint/data_suggestions.h"

#include <span>

#include "platform/beneath.h"
#include "validate/part_list.h"

namespace unitcheck::lint {

namespace {

// The non-empty names of the part list's set, each once, in the order the list first gives
// them.
std::vector<std::string_view> texts_of(const NameSet& names) {
  std::vector<std::string_view> texts;
  texts.reserve(names.size());
  names.for_each([&](std::string_view text) {
    if (!text.empty()) texts.push_back(text);
  });
  return texts;
}

}  // namespace

DataSuggestions::DataSuggestions(const PartList& part_list, const std::string& root,
                                 const BeneathDirectory& directory)
    : root_(root), directory_(&directory) {
  // The part list's two lists may be made at once on two threads: they only read it.
  const auto part_list_texts = [](std::vector<std::string_view>& texts, const NameSet& set) {
    return [out = &texts, &set] {
      *out = texts_of(set);
      return std::span<const std::string_view>(*out);
    };
  };
  const auto folder_entries = [this](FolderNames& folder, std::string_view name) {
    return [out = &folder, directory = directory_, name] {
      out->names = directory->folder_entry_names(name);
      out->views.assign(out->names.begin(), out->names.end());
      return std::span<const std::string_view>(out->views);
    };
  };
  unit_folders_.keep_inside(directory, root_);
  lists_.categories = NameIndex(part_list_texts(categories_, part_list.parts.categories()));
  lists_.part_names = NameIndex(part_list_texts(part_names_, part_list.parts.part_names()));
  lists_.unit_directories = NameIndex(folder_entries(unit_directories_, "units"));
  lists_.cockpits = NameIndex(folder_entries(cockpits_, "cockpits"));
  lists_.meshes = NameIndex(folder_entries(meshes_, "meshes"));
  lists_.unit_folders = &unit_folders_;
}

}  // namespace unitcheck::lint
