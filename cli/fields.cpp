#include "cli/fields.h"

#include <cctype>

#include "pages/form_table.h"
#include "player/vitals_table.h"

namespace rostrel::cli {

namespace {

std::vector<Field> MakeFields() {
  // VITALS as its table gives it, then the byte pages box by box.
  std::vector<Field> all;
  for (const VitalsField& f : VitalsFields()) {
    const FieldKind kind = f.kind == VitalsKind::Shown       ? FieldKind::Shown
                           : f.kind == VitalsKind::List      ? FieldKind::Combo
                           : f.kind == VitalsKind::Iff       ? FieldKind::Check
                                                             : FieldKind::Text;
    all.push_back({f.label, kVitalsTab, f.control, kind, f.list});
  }
  for (const auto& [form, block] : {std::pair{"ATTRIBUTES", kRatings}, std::pair{"TENDENCIES", kTendencies}}) {
    for (std::uint32_t i = 0; i < block.length; ++i) {
      const int id = kFirstBlockBox + static_cast<int>(i);
      all.push_back({BlockLabel(form, id), block.tab, id, FieldKind::Text});
    }
  }
  return all;
}

bool SameLabel(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

const std::vector<Field>& Fields() {
  static const std::vector<Field> all = MakeFields();
  return all;
}

const Field* FindField(std::string_view label) {
  for (const Field& f : Fields()) {
    if (SameLabel(f.label, label)) return &f;
  }
  return nullptr;
}

bool ShowsAsTyped(const Field& field, std::string_view typed, std::string_view shown) {
  if (field.kind == FieldKind::Check) return typed == shown;
  return rostrel::ShowsAsTyped(field.tab, field.id, typed, shown);
}

std::string FieldText(const MemoryPages& pages, const Field& field) {
  switch (field.kind) {
    case FieldKind::Combo: {
      const int item = pages.GetComboIndex(field.tab, field.id);
      return item >= 1 && item <= field.list->Count() ? field.list->items()[static_cast<std::size_t>(item - 1)] : "";
    }
    case FieldKind::Check:
      return pages.GetCheck(field.tab, field.id) ? "1" : "0";
    default:
      return pages.GetFieldText(field.tab, field.id);
  }
}

bool PutFieldText(MemoryPages& pages, const Field& field, std::string_view text, std::string& why) {
  switch (field.kind) {
    case FieldKind::Shown:
      why = "the pages only show this field";
      return false;
    case FieldKind::Combo: {
      std::string names;
      for (int item = 1; item <= field.list->Count(); ++item) {
        const char* name = field.list->items()[static_cast<std::size_t>(item - 1)];
        if (SameLabel(text, name)) {
          pages.SetComboIndex(field.tab, field.id, item);
          return true;
        }
        names += std::string(names.empty() ? "" : item == field.list->Count() ? " and " : ", ") + name;
      }
      why = "the list holds only " + names;
      return false;
    }
    case FieldKind::Check:
      if (text != "0" && text != "1") {
        why = "the check box takes 1 or 0";
        return false;
      }
      pages.SetCheck(field.tab, field.id, text == "1" ? 1 : 4);
      return true;
    case FieldKind::Text:
      break;
  }
  // The byte pages' boxes take digits only.
  if (field.tab != kVitalsTab) {
    for (char c : text) {
      if (c < '0' || c > '9') {
        why = "the box takes digits only";
        return false;
      }
    }
  }
  const std::uint32_t limit = pages.GetFieldLimit(field.tab, field.id);
  if ((field.id == vitals::kFirstName || field.id == vitals::kLastName) && field.tab == kVitalsTab &&
      text.size() > limit) {
    why = "a name can be at most " + std::to_string(limit) + " characters long here (its stored length)";
    return false;
  }
  pages.Type(field.tab, field.id, text);
  return true;
}

}  // namespace rostrel::cli
