#include "validate/column_plan.h"

#include "tables/mem_table.h"
#include "tables/schemas.h"
#include "validate/nested_list.h"
#include "validate/unit_header.h"

namespace unitcheck {

namespace {

ColumnPlan plan_column(const ColumnEntry& entry, const MemTable& units,
                       const NestedLists& nested_lists) {
  ColumnPlan plan;
  if (!entry.known) return plan;
  plan.name = entry.column_name;
  const Field& field = units.field_by_name(entry.column_name);
  switch (field.type()) {
    case FieldType::Text:
      plan.kind = CellKind::Text;
      plan.declared_size = field.size();
      plan.role = unit_columns()[static_cast<std::size_t>(field.position())].role;
      break;
    case FieldType::Integer:
      plan.nested = nested_lists.find(entry.column_name);
      if (plan.nested >= 0) plan.kind = CellKind::Nested;
      break;
    case FieldType::Boolean:
      plan.kind = CellKind::Boolean;
      break;
    case FieldType::Float:
      plan.kind = CellKind::Float;
      break;
    case FieldType::Int64:
      plan.kind = CellKind::Int64;
      break;
  }
  return plan;
}

}  // namespace

std::vector<ColumnPlan> plan_columns(const std::vector<ColumnEntry>& column_map,
                                     const MemTable& units, const NestedLists& nested_lists) {
  std::vector<ColumnPlan> plans;
  plans.reserve(column_map.size());
  for (const ColumnEntry& entry : column_map)
    plans.push_back(plan_column(entry, units, nested_lists));
  return plans;
}

}  // namespace unitcheck
