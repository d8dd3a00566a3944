#include "player/records.h"

#include "player/codecs.h"
#include "player/names.h"
#include "player/vitals_table.h"
#include "roster/field.h"

namespace rostrel {

namespace {

using namespace vitals;

std::uint32_t Mask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

void WriteField(RosterView& view, std::uint64_t offset, int bits, std::uint32_t value) {
  if (bits == 8) WriteByteAt(view, offset, value);
  else if (bits == 16) WriteWordAt(view, offset, value);
  else WriteDwordAt(view, offset, value);
}

// A number shown in an edit box and remembered.
void LoadNumber(const RosterView& view, std::uint32_t p, std::uint32_t x, int bits, int tab, int id,
                EditorPages& pages, LoadedState& loaded) {
  const std::uint32_t value = ReadField(view, FieldAddress(p, x), bits);
  loaded.Show(pages, tab, id, FormatFieldNumber(value));
  loaded.Remember(pages, tab, id, value);
}

// Writes an edited box's number when it differs from the remembered value.
void SaveNumber(RosterView& view, std::uint32_t p, std::uint32_t x, int bits, int tab, int id,
                const EditorPages& pages, const LoadedState& loaded) {
  if (loaded.Untouched(pages, tab, id)) return;
  const std::uint32_t n = StoreAsField(ParseFieldNumber(pages.GetFieldText(tab, id)), bits);
  if (n != (pages.GetRemembered(tab, id) & Mask(bits))) WriteField(view, FieldAddress(p, x), bits, n);
}

void Display(EditorPages& pages, int id, const std::string& text) { pages.SetFieldText(kVitalsTab, id, text); }

std::uint32_t LoadName(const RosterView& view, std::uint32_t reference, int id, EditorPages& pages,
                       LoadedState& loaded) {
  const std::uint32_t q = ResolveRelative(view, reference);
  const std::string name = ReadNameAt(view, q);
  loaded.Show(pages, kVitalsTab, id, ShownName(name));
  loaded.Remember(pages, kVitalsTab, id, q);
  pages.SetFieldLimit(kVitalsTab, id, static_cast<std::uint32_t>(name.size()));
  return static_cast<std::uint32_t>(name.size());
}

// Writes an edited name over the stored one, unit by unit, never past its
// stored length; the closing unit 0 stays.
void SaveName(RosterView& view, int id, std::uint32_t length, const EditorPages& pages, const LoadedState& loaded) {
  std::string text = pages.GetFieldText(kVitalsTab, id);
  if (length == 0 || loaded.Untouched(pages, kVitalsTab, id)) return;
  text.resize(length, kNameFill);
  const std::uint32_t q = pages.GetRemembered(kVitalsTab, id);
  for (std::uint32_t k = 0; k < length; ++k) {
    WriteWordAt(view, FieldAddress(q, 2 * k), static_cast<unsigned char>(text[k]));
  }
}

}  // namespace

std::uint32_t ReadField(const RosterView& view, std::uint64_t offset, int bits) {
  return bits == 8 ? ReadByteAt(view, offset) : bits == 16 ? ReadWordAt(view, offset) : ReadDwordAt(view, offset);
}

std::string ShownNameAt(const RosterView& view, std::uint32_t reference) {
  return ShownName(ReadNameAt(view, ResolveRelative(view, reference)));
}

void LoadedState::Remember(EditorPages& pages, int tab, int id, std::uint32_t value) {
  pages.SetRemembered(tab, id, value);
  remembered[{tab, id}] = value;
}

void LoadedState::Show(EditorPages& pages, int tab, int id, const std::string& text) {
  pages.SetFieldText(tab, id, text);
  texts[{tab, id}] = pages.GetFieldText(tab, id);
}

bool LoadedState::Untouched(const EditorPages& pages, int tab, int id) const {
  const auto it = texts.find({tab, id});
  return it != texts.end() && it->second == pages.GetFieldText(tab, id);
}

void LoadByteBlock(const RosterView& view, std::uint32_t position, const ByteBlock& block, EditorPages& pages,
                   LoadedState& loaded) {
  for (std::uint32_t i = 0; i < block.length; ++i) {
    LoadNumber(view, position, block.first + i, 8, block.tab, kFirstBlockBox + static_cast<int>(i), pages, loaded);
  }
}

void SaveByteBlock(RosterView& view, std::uint32_t position, const ByteBlock& block, const EditorPages& pages,
                   const LoadedState& loaded) {
  for (std::uint32_t i = 0; i < block.length; ++i) {
    SaveNumber(view, position, block.first + i, 8, block.tab, kFirstBlockBox + static_cast<int>(i), pages, loaded);
  }
}

void LoadVitals(const RosterView& view, std::uint32_t p, EditorPages& pages, LoadedState& loaded) {
  for (const VitalsField& f : VitalsFields()) {
    const std::uint32_t v = ReadField(view, FieldAddress(p, f.offset), f.bits);
    switch (f.kind) {
      case VitalsKind::FirstName: loaded.first_name_length = LoadName(view, p + f.offset, f.control, pages, loaded); break;
      case VitalsKind::LastName: loaded.last_name_length = LoadName(view, p + f.offset, f.control, pages, loaded); break;
      case VitalsKind::Number: LoadNumber(view, p, f.offset, f.bits, kVitalsTab, f.control, pages, loaded); break;
      case VitalsKind::Shown: Display(pages, f.control, f.text(v)); break;
      case VitalsKind::Text:
      case VitalsKind::Coded:
      case VitalsKind::BirthDate:
      case VitalsKind::DraftRound:
        loaded.Show(pages, kVitalsTab, f.control, f.text(v));
        loaded.Remember(pages, kVitalsTab, f.control, v);
        break;
      case VitalsKind::List:
        // A code with no item selects nothing, whatever was selected before.
        pages.SetComboIndex(kVitalsTab, f.control, f.list->ItemOf(v));
        loaded.items[f.control] = pages.GetComboIndex(kVitalsTab, f.control);
        loaded.Remember(pages, kVitalsTab, f.control, v);
        break;
      case VitalsKind::Iff:
        pages.SetCheck(kVitalsTab, f.control, v);
        loaded.iff_check = pages.GetCheck(kVitalsTab, f.control);
        loaded.Remember(pages, kVitalsTab, f.control, v);
        break;
    }
  }
}

namespace {

// The round (bits 7-10) and the birth date (bits 11-31) share the dword at
// 54, the round written first; bits 0-6 always keep their stored value.
void SaveBirthValue(RosterView& view, std::uint32_t p, const EditorPages& pages, const LoadedState& loaded) {
  const std::uint32_t w0 = pages.GetRemembered(kVitalsTab, kRound) & 0xFFFF;
  std::uint32_t w = w0;
  if (!loaded.Untouched(pages, kVitalsTab, kRound)) {
    w = (w0 & ~kDraftRoundMask) | DraftRoundBits(pages.GetFieldText(kVitalsTab, kRound));
    if (w != w0) WriteWordAt(view, FieldAddress(p, 54), w);
  }
  const std::uint32_t d0 = pages.GetRemembered(kVitalsTab, kBirth);
  const std::uint32_t date = loaded.Untouched(pages, kVitalsTab, kBirth)
                                 ? d0 & kBirthDateMask
                                 : BirthDateBits(pages.GetFieldText(kVitalsTab, kBirth));
  const std::uint32_t d = (d0 & kLowBitsMask) | (w & kDraftRoundMask) | date;
  if (d != d0) WriteDwordAt(view, FieldAddress(p, 54), d);
}

// A checked box stores 1, an unchecked one 4.
void SaveIff(RosterView& view, std::uint32_t p, const VitalsField& f, const EditorPages& pages,
             const LoadedState& loaded) {
  const std::uint32_t check = pages.GetCheck(kVitalsTab, f.control) & 0xFF;
  if (check == loaded.iff_check) return;
  const std::uint32_t now = check == 0 ? 4 : check;
  const std::uint32_t before = (pages.GetRemembered(kVitalsTab, f.control) & 0xFF) == 4 ? 4 : 0;
  if (now != before) WriteByteAt(view, FieldAddress(p, f.offset), now);
}

// A picked item replaces the list's bits; every other bit keeps its stored
// value. Nothing is written unless the user picked another item than the load
// showed, and that item's code is not the stored one.
void SaveList(RosterView& view, std::uint32_t p, const VitalsField& f, const EditorPages& pages,
              const LoadedState& loaded) {
  const int item = pages.GetComboIndex(kVitalsTab, f.control);
  const auto shown = loaded.items.find(f.control);
  if (item < 1 || item > f.list->Count() || (shown != loaded.items.end() && shown->second == item)) return;
  const std::uint32_t stored = pages.GetRemembered(kVitalsTab, f.control) & Mask(f.bits);
  const std::uint32_t code = f.list->CodeOf(item);
  if (code == (stored & f.list->mask) >> f.list->shift) return;
  WriteField(view, FieldAddress(p, f.offset), f.bits, (stored & ~f.list->mask) | (code << f.list->shift));
}

// A coded box writes only its own bits, and only when the typed value is not
// what the field holds; a text without a number writes nothing.
void SaveCoded(RosterView& view, std::uint32_t p, const VitalsField& f, const EditorPages& pages,
               const LoadedState& loaded) {
  if (loaded.Untouched(pages, kVitalsTab, f.control)) return;
  const std::uint32_t stored = pages.GetRemembered(kVitalsTab, f.control) & Mask(f.bits);
  const std::optional<std::uint32_t> value = f.update(pages.GetFieldText(kVitalsTab, f.control), stored);
  if (value && *value != stored) WriteField(view, FieldAddress(p, f.offset), f.bits, *value);
}

}  // namespace

void SaveVitals(RosterView& view, std::uint32_t p, const EditorPages& pages, const LoadedState& loaded) {
  // The names first, then every edited field in the table's order; no two
  // fields share a byte but the word and the dword at 54, done together.
  SaveName(view, kFirstName, loaded.first_name_length, pages, loaded);
  SaveName(view, kLastName, loaded.last_name_length, pages, loaded);
  for (const VitalsField& f : VitalsFields()) {
    switch (f.kind) {
      case VitalsKind::Number: SaveNumber(view, p, f.offset, f.bits, kVitalsTab, f.control, pages, loaded); break;
      case VitalsKind::Text:
        if (!loaded.Untouched(pages, kVitalsTab, f.control)) {
          const std::uint32_t n = f.value(pages.GetFieldText(kVitalsTab, f.control));
          if (n != (pages.GetRemembered(kVitalsTab, f.control) & Mask(f.bits))) {
            WriteField(view, FieldAddress(p, f.offset), f.bits, n);
          }
        }
        break;
      case VitalsKind::BirthDate: SaveBirthValue(view, p, pages, loaded); break;
      case VitalsKind::Coded: SaveCoded(view, p, f, pages, loaded); break;
      case VitalsKind::List: SaveList(view, p, f, pages, loaded); break;
      case VitalsKind::Iff: SaveIff(view, p, f, pages, loaded); break;
      default: break;  // names above, the round with the birth date, shown fields never
    }
  }
}

}  // namespace rostrel
