#pragma once

// The nine tables' columns as data: the one place that names a column, its type, its declared
// size and what its cells name or hold beyond their type. Everything else (the tables of a run,
// the column plans, the nested lists, unitlint's schema listing and rule texts) is built from
// these arrays.

#include <cstdint>
#include <string_view>

#include "tables/mem_table.h"

namespace unitcheck {

// What a column's cells name or hold beyond their type, and so which checks they take.
enum class ColumnRole : std::uint8_t {
  Plain,
  // Columns of the unit table.
  Directory,   // a folder under units/; the unit's meshes are looked for in it
  Cockpit,     // a folder under cockpits/ ("no-cockpit" for none)
  Mesh,        // a mesh file: the second piece of the cell cut at ';', '{' and '}'
  MeshFile,    // a mesh or image file, named by the whole cell
  NestedList,  // groups of values of the table named by nested_table
  // Fields of the nested lists.
  Category,       // a category of the part list, or a leading part of one, in any letter case
  PartName,       // a cargo item's part, kept for the category that follows it
  CargoCategory,  // the item's part or this category must be in the part list
};

// One column of a table's schema.
struct ColumnSchema {
  std::string_view name;
  FieldType type;
  int size;  // declared size of a Text column, 0 otherwise
  ColumnRole role = ColumnRole::Plain;
  std::string_view nested_table = {};  // of a NestedList column: the table of its groups
};

namespace schema {

using enum FieldType;
using enum ColumnRole;

inline constexpr ColumnSchema kCargoImportColumns[] = {
    {"Cat", Text, 50, Category}, {"price", Float, 0},       {"pricestddev", Float, 0},
    {"quant", Float, 0},         {"quantstddev", Float, 0},
};

inline constexpr ColumnSchema kUpgradesColumns[] = {
    {"filename", Text, 40},
    {"mountoffset", Integer, 0},
    {"subunoffset", Integer, 0},
};

inline constexpr ColumnSchema kSubunitColumns[] = {
    {"filename", Text, 40}, {"x", Float, 0},     {"y", Float, 0},          {"z", Float, 0},
    {"forex", Float, 0},    {"forey", Float, 0}, {"forez", Float, 0},      {"upx", Float, 0},
    {"upy", Float, 0},      {"upz", Float, 0},   {"restricted", Float, 0},
};

inline constexpr ColumnSchema kLightColumns[] = {
    {"meshfile", Text, 40}, {"x", Float, 0},
    {"y", Float, 0},        {"z", Float, 0},
    {"scale", Float, 0},    {"r", Float, 0},
    {"g", Float, 0},        {"b", Float, 0},
    {"a", Float, 0},        {"activationspeed", Float, 0},
};

inline constexpr ColumnSchema kMountsColumns[] = {
    {"type", Text, 40},
    {"ammo", Integer, 0},
    {"volume", Float, 0},
    {"SIZE", Text, 80},
    {"x", Float, 0},
    {"y", Float, 0},
    {"z", Float, 0},
    {"xyscale", Float, 0},
    {"zscale", Float, 0},
    {"forex", Float, 0},
    {"forey", Float, 0},
    {"forez", Float, 0},
    {"upx", Float, 0},
    {"upy", Float, 0},
    {"upz", Float, 0},
    {"functionality", Float, 0},
    {"maxfunctionality", Float, 0},
};

inline constexpr ColumnSchema kDockColumns[] = {
    {"INTERNAL", Boolean, 0}, {"x", Float, 0},    {"y", Float, 0},
    {"z", Float, 0},          {"size", Float, 0}, {"minsize", Float, 0},
};

inline constexpr ColumnSchema kCargoColumns[] = {
    {"filename", Text, 30, PartName},
    {"Category", Text, 60, CargoCategory},
    {"price", Float, 0},
    {"quant", Integer, 0},
    {"mass", Float, 0},
    {"volume", Float, 0},
    {"functionality", Float, 0},
    {"maxfunctionality", Float, 0},
    {"description", Text, 65},
    {"missionCargo", Boolean, 0},
};

inline constexpr ColumnSchema kUnitsColumns[] = {
    {"index", Text, 50},
    {"Directory", Text, 60, Directory},
    {"Name", Text, 45},
    {"STATUS", Text, 35},
    {"Object_Type", Text, 25},
    {"Combat_Role", Text, 15},
    {"Textual_Description", Integer, 0},
    {"Hud_image", Text, 40, MeshFile},
    {"Unit_Scale", Float, 0},
    {"Cockpit", Text, 20, Cockpit},
    {"CockpitX", Float, 0},
    {"CockpitY", Float, 0},
    {"CockpitZ", Float, 0},
    {"Mesh", Text, 60, Mesh},
    {"Shield_Mesh", Text, 60, MeshFile},
    {"Rapid_Mesh", Text, 60, MeshFile},
    {"BSP_Mesh", Text, 60, MeshFile},
    {"Use_BSP", Boolean, 0},
    {"Use_Rapid", Boolean, 0},
    {"NoDamageParticles", Boolean, 0},
    {"Mass", Float, 0},
    {"Moment_Of_Inertia", Float, 0},
    {"Fuel_Capacity", Float, 0},
    {"Hull", Float, 0},
    {"Armor_Front_Top_Right", Float, 0},
    {"Armor_Front_Top_Left", Float, 0},
    {"Armor_Front_Bottom_Right", Float, 0},
    {"Armor_Front_Bottom_Left", Float, 0},
    {"Armor_Back_Top_Right", Float, 0},
    {"Armor_Back_Top_Left", Float, 0},
    {"Armor_Back_Bottom_Right", Float, 0},
    {"Armor_Back_Bottom_Left", Float, 0},
    {"Shield_Front_Top_Right", Float, 0},
    {"Shield_Back_Top_Left", Float, 0},
    {"Shield_Front_Bottom_Right", Float, 0},
    {"Shield_Front_Bottom_Left", Float, 0},
    {"Shield_Back_Top_Right", Float, 0},
    {"Shield_Front_Top_Left", Float, 0},
    {"Shield_Back_Bottom_Right", Float, 0},
    {"Shield_Back_Bottom_Left", Float, 0},
    {"Shield_Recharge", Float, 0},
    {"Shield_Leak", Float, 0},
    {"Warp_Capacitor", Int64, 0},
    {"Primary_Capacitor", Float, 0},
    {"Reactor_Recharge", Float, 0},
    {"Jump_Drive_Present", Boolean, 0},
    {"Jump_Drive_Delay", Int64, 0},
    {"Wormhole", Boolean, 0},
    {"Outsystem_Jump_Cost", Int64, 0},
    {"Warp_Usage_Cost", Int64, 0},
    {"Afterburner_Type", Int64, 0},
    {"Afterburner_Usage_Cost", Float, 0},
    {"Maneuver_Yaw", Float, 0},
    {"Maneuver_Pitch", Float, 0},
    {"Maneuver_Roll", Float, 0},
    {"Yaw_Governor", Float, 0},
    {"Pitch_Governor", Float, 0},
    {"Roll_Governor", Float, 0},
    {"Afterburner_Accel", Float, 0},
    {"Forward_Accel", Float, 0},
    {"Retro_Accel", Float, 0},
    {"Left_Accel", Float, 0},
    {"Right_Accel", Float, 0},
    {"Top_Accel", Float, 0},
    {"Bottom_Accel", Float, 0},
    {"Afterburner_Speed_Governor", Float, 0},
    {"Default_Speed_Governor", Float, 0},
    {"ITTS", Boolean, 0},
    {"Radar_Color", Boolean, 0},
    {"Radar_Range", Float, 0},
    {"Tracking_Cone", Float, 0},
    {"Max_Cone", Float, 0},
    {"Lock_Cone", Float, 0},
    {"Hold_Volume", Int64, 0},
    {"Can_Cloak", Boolean, 0},
    {"Cloak_Min", Float, 0},
    {"Cloak_Rate", Float, 0},
    {"Cloak_Energy", Float, 0},
    {"Cloak_Glass", Boolean, 0},
    {"Repair_Droid", Int64, 0},
    {"ECM_Rating", Int64, 0},
    {"ECM_Resist", Float, 0},
    {"Ecm_Drain", Int64, 0},
    {"Hud_Functionality", Text, 70},
    {"Max_Hud_Functionality", Text, 70},
    {"Lifesupport_Functionality", Float, 0},
    {"Max_Lifesupport_Functionality", Float, 0},
    {"Comm_Functionality", Float, 0},
    {"Max_Comm_Functionality", Float, 0},
    {"FireControl_Functionality", Float, 0},
    {"Max_FireControl_Functionality", Float, 0},
    {"SPECDrive_Functionality", Float, 0},
    {"Max_SPECDrive_Functionality", Float, 0},
    {"Slide_Start", Int64, 0},
    {"Slide_End", Int64, 0},
    {"Activation_Accel", Float, 0},
    {"Activation_Speed", Float, 0},
    {"Upgrades", Integer, 0, NestedList, "upgrades"},
    {"Prohibited_Upgrades", Integer, 0},
    {"Sub_Units", Integer, 0, NestedList, "subunit"},
    {"Sound", Integer, 0},
    {"Light", Integer, 0, NestedList, "light"},
    {"Mounts", Integer, 0, NestedList, "mounts"},
    {"Net_Comm", Integer, 0},
    {"Dock", Integer, 0, NestedList, "dock"},
    {"Cargo_Import", Integer, 0, NestedList, "cargo_import"},
    {"Cargo", Integer, 0, NestedList, "cargo"},
    {"Explosion", Text, 30},
    {"Num_Animation_Stages", Int64, 0},
    {"Upgrade_Storage_Volume", Float, 0},
    {"Heat_Sink_Rating", Float, 0},
    {"Shield_Efficiency", Float, 0},
    {"Num_Chunks", Int64, 0},
    {"Chunk_0", Integer, 0},
    {"Collide_Subunits", Boolean, 0},
    {"Spec_Interdiction", Float, 0},
};

inline constexpr ColumnSchema kMasterPartsListColumns[] = {
    {"file", Text, 35}, {"categoryname", Text, 60}, {"price", Int64, 0},
    {"mass", Float, 0}, {"volume", Float, 0},       {"description", Integer, 0},
};

}  // namespace schema

}  // namespace unitcheck
