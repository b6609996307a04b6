#include "gen/list_writer.h"

#include "gen/fault_values.h"
#include "tables/schemas.h"

namespace unitcheck::gen {

namespace fv = fault_values;

ListSchema make_list_schema(std::string_view table) {
  ListSchema schema{table, {}};
  for (const ColumnSchema& field : find_table_schema(table)->columns)
    schema.fields.push_back({field.type, field.size, field.role == ColumnRole::Category,
                             field.role == ColumnRole::CargoCategory});
  return schema;
}

ListFault plan_list_fault(Random& random, const ListSchema& schema, bool followed) {
  ListFault fault;
  const auto roll = random.below(10);
  if (roll == 0 && followed) {
    fault.kind = ListFault::Kind::Unclosed;
  } else if (roll <= 2) {
    fault.kind = ListFault::Kind::ExtraValues;
    fault.extra = static_cast<int>(random.between(1, 2));
  } else {
    fault.kind = ListFault::Kind::BadValue;
    fault.field = static_cast<int>(random.below(schema.fields.size()));
  }
  return fault;
}

void ListWriter::open_group() {
  out_.put('{');
  ++group_;
  field_ = 0;
  fault_ = random_.chance(fault_odds_)
               ? plan_list_fault(random_, schema_, group_ + 1 < group_count_)
               : ListFault{};
}

bool ListWriter::hides_part_name() const {
  return fault_.kind == ListFault::Kind::BadValue && field_ == 0 &&
         schema_.fields[fault_.field].is_cargo_category;
}

bool ListWriter::begin_value() {
  if (field_ > 0) out_.put(';');
  return fault_here();
}

void ListWriter::text(std::string_view value) {
  if (begin_value()) {
    write_bad_value();
  } else if (hides_part_name()) {
    out_.put(fv::kUnknownPart);
  } else {
    out_.put(value);
  }
  ++field_;
}

void ListWriter::fixed(std::int64_t scaled, int decimals) {
  if (begin_value())
    write_bad_value();
  else
    out_.put_fixed(scaled, decimals);
  ++field_;
}

void ListWriter::write_bad_value() {
  const ListSchema::FieldInfo& field = schema_.fields[field_];
  const bool syntax = random_.percent(50);
  switch (field.type) {
    case FieldType::Text:
      if (field.is_import_category || field.is_cargo_category) {
        out_.put(fv::kUnknownCategory);
        tally_.add(field.is_import_category ? FindingKind::CategoryNotFound
                                            : FindingKind::CargoPartNotFound);
      } else {
        // Longer than declared: the nested-list check allows no more than the declared size.
        out_.put(fv::kLongText.substr(0, field.size + random_.between(1, 8)));
        tally_.add(FindingKind::NestedTextTooLong);
      }
      break;
    case FieldType::Integer:
      out_.put(syntax ? random_.pick(fv::kNotInteger) : random_.pick(fv::kBadInt32));
      tally_.add(syntax ? FindingKind::NestedNotInteger : FindingKind::NestedIntegerConversion);
      break;
    case FieldType::Float:
      out_.put(syntax ? random_.pick(fv::kNotFloat) : random_.pick(fv::kBadFloat));
      tally_.add(syntax ? FindingKind::NestedNotFloat : FindingKind::NestedFloatConversion);
      break;
    case FieldType::Boolean:
      out_.put(random_.pick(fv::kBadListBoolean));
      tally_.add(FindingKind::NestedNotBoolean);
      break;
    case FieldType::Int64:
      out_.put("0");  // no nested list has such a field
      break;
  }
}

void ListWriter::close_group() {
  if (fault_.kind == ListFault::Kind::ExtraValues) {
    for (int i = 0; i < fault_.extra; ++i) out_.put(";0");
    tally_.add(FindingKind::TooManyValues, fault_.extra);
  }
  if (fault_.kind == ListFault::Kind::Unclosed) {
    tally_.add(FindingKind::UnclosedGroup);
    return;
  }
  out_.put('}');
}

}  // namespace unitcheck::gen
