#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "gen/fault_tally.h"
#include "gen/output_buffer.h"
#include "gen/random.h"
#include "tables/mem_table.h"

namespace unitcheck::gen {

// What the validator knows about the values of one nested list: its table's fields in order.
struct ListSchema {
  struct FieldInfo {
    FieldType type;
    int size;                 // declared size of a Text field
    bool is_import_category;  // cargo_import.Cat: looked up among the categories
    bool is_cargo_category;   // cargo.Category: looked up with the part name in the part list
  };
  std::string_view table;
  std::vector<FieldInfo> fields;
};

// The list of the named table of the schemas.
ListSchema make_list_schema(std::string_view table);

// The fault, if any, that one group of a nested list carries.
struct ListFault {
  enum class Kind { None, Unclosed, ExtraValues, BadValue };
  Kind kind = Kind::None;
  int field = -1;  // for BadValue
  int extra = 0;   // for ExtraValues
};

// Plans the fault of a faulty group. Only a group that another follows can be left open:
// the validator notices an unclosed group at the next opening brace.
ListFault plan_list_fault(Random& random, const ListSchema& schema, bool followed);

// Writes the groups of one nested-list cell, value by value in schema order, putting a fault
// into a group now and then and counting the lines the validator will print for it.
class ListWriter {
 public:
  ListWriter(OutputBuffer& out, Random& random, FaultTally& tally, const ListSchema& schema,
             Odds fault_odds, int group_count)
      : out_(out),
        random_(random),
        tally_(tally),
        schema_(schema),
        fault_odds_(fault_odds),
        group_count_(group_count) {}

  void open_group();
  void text(std::string_view value);
  void fixed(std::int64_t scaled, int decimals);
  void integer(std::int64_t value) { fixed(value, 0); }
  void flag(bool value) { text(value ? "1" : "0"); }
  void empty() { text({}); }
  void close_group();

 private:
  bool fault_here() const {
    return fault_.kind == ListFault::Kind::BadValue && field_ == fault_.field;
  }
  // The part name of a group whose category is to be missed must be missed too.
  bool hides_part_name() const;
  // Writes the separator before the current value; true when the planned bad value goes here.
  bool begin_value();
  void write_bad_value();

  OutputBuffer& out_;
  Random& random_;
  FaultTally& tally_;
  const ListSchema& schema_;
  Odds fault_odds_;
  int group_count_;
  ListFault fault_;  // of the current group
  int group_ = -1;
  int field_ = 0;
};

}  // namespace unitcheck::gen
