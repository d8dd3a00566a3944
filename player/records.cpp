#include "player/records.h"

#include "player/codecs.h"
#include "player/names.h"
#include "roster/field.h"

namespace rostrel {

namespace {

using namespace vitals;

constexpr char kNameFill = 0x14;  // pads a shortened name: neither NUL nor blank

std::uint32_t Mask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

std::uint32_t ReadField(const RosterView& view, std::uint64_t offset, int bits) {
  return bits == 8 ? ReadByteAt(view, offset) : bits == 16 ? ReadWordAt(view, offset) : ReadDwordAt(view, offset);
}

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
  loaded.Show(pages, kVitalsTab, id, name);
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
  auto byte = [&](std::uint32_t x) { return ReadByteAt(view, FieldAddress(p, x)); };
  auto word = [&](std::uint32_t x) { return ReadWordAt(view, FieldAddress(p, x)); };
  auto dword = [&](std::uint32_t x) { return ReadDwordAt(view, FieldAddress(p, x)); };

  loaded.first_name_length = LoadName(view, p + 4, kFirstName, pages, loaded);
  loaded.last_name_length = LoadName(view, p, kLastName, pages, loaded);
  LoadNumber(view, p, 8, 8, kVitalsTab, kType, pages, loaded);
  LoadNumber(view, p, 10, 16, kVitalsTab, kFaceId, pages, loaded);
  Display(pages, kRole, RoleText(byte(32)));
  Display(pages, kWeight, WeightText(dword(36)));
  Display(pages, kHeight, HeightText(dword(40)));
  Display(pages, kPersonality, PersonalityText(byte(44)));
  Display(pages, kNumber, JerseyNumberText(word(48)));
  LoadNumber(view, p, 52, 16, kVitalsTab, kUnknownId, pages, loaded);
  const std::uint32_t birth = dword(54);
  loaded.Show(pages, kVitalsTab, kBirth, BirthDateText(birth));
  loaded.Remember(pages, kVitalsTab, kBirth, birth);
  const std::uint32_t low = word(54);
  loaded.Show(pages, kVitalsTab, kRound, DraftRoundText(low));
  loaded.Remember(pages, kVitalsTab, kRound, low);
  Display(pages, kAge, AgeText(word(56)));
  Display(pages, kPosition, PositionText(byte(109)));
  Display(pages, kSecondPosition, PositionText(byte(110)));
  // Code 3 names no item: nothing is selected, whatever was before.
  const std::uint32_t shape = dword(112);
  const auto code = static_cast<int>((shape & kBodyShapeMask) >> kBodyShapeShift);
  pages.SetComboIndex(kVitalsTab, kBodyShape, code < kBodyShapeItemCount ? code + 1 : 0);
  loaded.body_shape_item = pages.GetComboIndex(kVitalsTab, kBodyShape);
  loaded.Remember(pages, kVitalsTab, kBodyShape, shape);
  const std::uint32_t iff = byte(120);
  pages.SetCheck(kVitalsTab, kIff, iff);
  loaded.iff_check = pages.GetCheck(kVitalsTab, kIff);
  loaded.Remember(pages, kVitalsTab, kIff, iff);
  LoadNumber(view, p, 141, 8, kVitalsTab, kPick, pages, loaded);
  loaded.Show(pages, kVitalsTab, kDraftYear, DraftYearText(byte(153)));
  loaded.Remember(pages, kVitalsTab, kDraftYear, byte(153));
  Display(pages, kNoTrade, NoTradeText(word(192)));
  LoadNumber(view, p, 332, 16, kVitalsTab, kPbpId, pages, loaded);
  Display(pages, kYearsPro, YearsProText(word(337)));
  for (int k = 0; k < kSalaryYears; ++k) {
    const std::uint32_t salary = dword(340 + 4 * static_cast<std::uint32_t>(k));
    loaded.Show(pages, kVitalsTab, kFirstSalary + k, SalaryText(salary));
    loaded.Remember(pages, kVitalsTab, kFirstSalary + k, salary);
  }
  Display(pages, kHand, HandText(byte(410)));
}

void SaveVitals(RosterView& view, std::uint32_t p, const EditorPages& pages, const LoadedState& loaded) {
  auto text = [&](int id) { return pages.GetFieldText(kVitalsTab, id); };
  auto remembered = [&](int id) { return pages.GetRemembered(kVitalsTab, id); };
  auto touched = [&](int id) { return !loaded.Untouched(pages, kVitalsTab, id); };

  SaveName(view, kFirstName, loaded.first_name_length, pages, loaded);
  SaveName(view, kLastName, loaded.last_name_length, pages, loaded);
  SaveNumber(view, p, 8, 8, kVitalsTab, kType, pages, loaded);
  SaveNumber(view, p, 10, 16, kVitalsTab, kFaceId, pages, loaded);

  // A checked box stores 1, an unchecked one 4.
  const std::uint32_t check = pages.GetCheck(kVitalsTab, kIff) & 0xFF;
  if (check != loaded.iff_check) {
    const std::uint32_t now = check == 0 ? 4 : check;
    const std::uint32_t before = (remembered(kIff) & 0xFF) == 4 ? 4 : 0;
    if (now != before) WriteByteAt(view, FieldAddress(p, 120), now);
  }

  if (touched(kDraftYear)) {
    const std::uint32_t year = DraftYearValue(text(kDraftYear));
    if (year != (remembered(kDraftYear) & 0xFF)) WriteByteAt(view, FieldAddress(p, 153), year);
  }

  // The round (bits 7-10) and the birth date (bits 11-31) share the dword at
  // 54; bits 0-6 always keep their stored value.
  const std::uint32_t w0 = remembered(kRound) & 0xFFFF;
  std::uint32_t w = w0;
  if (touched(kRound)) {
    w = (w0 & ~kDraftRoundMask) | DraftRoundBits(text(kRound));
    if (w != w0) WriteWordAt(view, FieldAddress(p, 54), w);
  }
  const std::uint32_t d0 = remembered(kBirth);
  const std::uint32_t date = touched(kBirth) ? BirthDateBits(text(kBirth)) : d0 & kBirthDateMask;
  const std::uint32_t d = (d0 & kLowBitsMask) | (w & kDraftRoundMask) | date;
  if (d != d0) WriteDwordAt(view, FieldAddress(p, 54), d);

  SaveNumber(view, p, 141, 8, kVitalsTab, kPick, pages, loaded);

  const int item = pages.GetComboIndex(kVitalsTab, kBodyShape);
  const std::uint32_t shape0 = remembered(kBodyShape);
  if (item >= 1 && item <= 3 && item != loaded.body_shape_item &&
      static_cast<std::uint32_t>(item - 1) != (shape0 & kBodyShapeMask) >> kBodyShapeShift) {
    const std::uint32_t shape = (shape0 & ~kBodyShapeMask) | (static_cast<std::uint32_t>(item - 1) << kBodyShapeShift);
    WriteDwordAt(view, FieldAddress(p, 112), shape);
  }

  SaveNumber(view, p, 332, 16, kVitalsTab, kPbpId, pages, loaded);
  SaveNumber(view, p, 52, 16, kVitalsTab, kUnknownId, pages, loaded);

  for (int k = 0; k < kSalaryYears; ++k) {
    if (!touched(kFirstSalary + k)) continue;
    const std::uint32_t salary = SalaryValue(text(kFirstSalary + k));
    if (salary != remembered(kFirstSalary + k)) {
      WriteDwordAt(view, FieldAddress(p, 340 + 4 * static_cast<std::uint32_t>(k)), salary);
    }
  }
}

}  // namespace rostrel
