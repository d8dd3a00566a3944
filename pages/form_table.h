// The definitions of the four forms and all their controls, compiled in. Pure
// data with two lookups; the form engine builds windows from it. Positions and
// sizes are in twips.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/form_defs.h"

namespace rostrel {

// The program's event handlers, named in the table; the window side binds
// each to its procedure.
enum class HandlerId {
  None,
  ChooseRosterFile,
  ReadRosterFile,
  CloseRosterFile,
  SavePlayer,
  LoadPlayer,
  OnColumnClick,
  ListKey,
  OnSearchKey,
  OnSearchChar,
  ShowHistory,
  HistoryButton,
  FilterChanged,
  FilterKey,
  ChooseColumns,
  ColumnsButton,
  SetField,
  SetButton,
  Count,  // how many there are; keep it last
};
constexpr int HandlerNumber(HandlerId id) { return static_cast<int>(id); }

// The form's name is trimmed of spaces and upper-cased before it is compared.
bool LookupFormDef(std::string_view name, FormDef& form);
// Found exactly when the returned ClassName is not empty. The style comes back
// with WS_CHILD, WS_CLIPSIBLINGS and WS_CLIPCHILDREN added.
bool LookupControlDef(std::string_view form, int id, ControlDef& control);

// Hands the framework this table.
void UseFormTable();

}  // namespace rostrel
