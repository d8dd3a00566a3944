#include "forms/form_defs.h"

#include <cmath>

namespace rostrel {

namespace {

FormTable g_table;

}  // namespace

void SetFormTable(const FormTable& table) { g_table = table; }

bool FindFormDef(std::string_view name, FormDef& form) {
  form = FormDef{};
  return g_table.form && g_table.form(name, form);
}

bool FindControlDef(std::string_view form, int id, ControlDef& control) {
  control = ControlDef{};
  return g_table.control && g_table.control(form, id, control);
}

std::int32_t TwipsToPixels(std::int32_t twips, int dpi) {
  if (dpi <= 0) return 0;
  return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(twips) / (1440.0 / dpi)));
}

}  // namespace rostrel
