#include "shell/command_values.h"

#include <algorithm>

#include "core/work_item.h"
#include "core/work_rules.h"
#include "shell/field_validation.h"
#include "sums/sum_check.h"
#include "sums/u128.h"

namespace aequa::ui {
namespace {

template <typename T>
std::optional<Refusal> Taken(const FieldSpec& field, const Exchanged<T>& exchanged, T& out) {
  if (!exchanged.ok()) return Refusal{&field, exchanged.prompt};
  out = exchanged.value;
  return std::nullopt;
}

Refusal Range(const FieldSpec& field, int64_t min, int64_t max) {
  return Refusal{&field, RangePrompt(min, max)};
}

std::string OptionText(const CommandOptions& o, const FieldSpec& field) {
  auto found = o.find(field.argument);
  return found == o.end() ? std::string(field.fallback) : found->second;
}

// The largest end whose k-th power the sum-collision search can hold (128 bits).
int64_t MaxAddEnd(uint32_t power) {
  U128 p;
  uint32_t low = 1, high = INT32_MAX;  // low fits
  if (PowerOf(high, power, p)) return high;
  while (high - low > 1) {
    const uint32_t mid = low + (high - low) / 2;
    if (PowerOf(mid, power, p)) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return low;
}

// End must lie in [lowest, highest]; when no end can, start is what must change.
Refusal EndRange(const FieldSpec& start, const FieldSpec& end, int64_t lowest, int64_t highest,
                 int64_t lowestStart) {
  if (lowest > highest) return Range(start, lowestStart, highest - 1);
  return Range(end, lowest, highest);
}

}  // namespace

std::string Refusal::Text() const {
  return field == nullptr ? message : std::string(field->label) + ": " + message;
}

std::optional<Refusal> ReadField(const FieldSpec& f, const std::string& text, uint32_t& out) {
  if (f.kind == FieldKind::Choice) {
    auto chosen = std::find(f.choices.begin(), f.choices.end(), text);
    if (chosen == f.choices.end()) {
      std::string list;
      for (size_t i = 0; i < f.choices.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == f.choices.size() ? " or " : ", ") + f.choices[i];
      }
      return Refusal{nullptr, std::string(f.argument) + " takes " + list};
    }
    out = static_cast<uint32_t>(chosen - f.choices.begin());
    return std::nullopt;
  }
  return Taken(f, ExchangeUnsigned(text, static_cast<uint32_t>(f.min),
                                   static_cast<uint32_t>(f.max)),
               out);
}

std::optional<Refusal> ReadField(const FieldSpec& f, const std::string& text, int32_t& out) {
  return Taken(f, ExchangeInt(text, static_cast<int32_t>(f.min), static_cast<int32_t>(f.max)),
               out);
}

std::optional<Refusal> ReadField(const FieldSpec& f, const std::string& text,
                                 std::string& out) {
  const size_t most = static_cast<size_t>(f.max);
  if (f.kind == FieldKind::Digits) return Taken(f, ExchangeDigits(text, most), out);
  return Taken(f, ExchangeText(text, most, f.kind == FieldKind::PlainText), out);
}

std::optional<Refusal> SumRangeRules(const SumRangeValues& v) {
  const NewFields& f = kNewFields;
  WorkItem item;
  item.kind = WORK_SUM;
  item.power = v.power;
  item.start = v.start;
  item.end = v.end;
  item.leftTerms = v.left;
  item.rightTerms = v.right;
  item.variant = v.mode;
  item.current = v.start;
  item.duration = v.duration;
  const int64_t highest = std::min<int64_t>(f.end.max, MaxSumValueFor(v.power, v.left));
  const int64_t lowestEnd = static_cast<int64_t>(std::max(v.start, kMinSumStart)) + 1;
  switch (CheckSumItem(item)) {
    case LineFault::None:
      return std::nullopt;
    case LineFault::LeftTerms:
      return Range(f.left, f.left.min,
                   std::min<int64_t>(f.left.max, MaxLeftTermsFor(v.power, v.mode)));
    case LineFault::RightTerms:
      return Range(f.right, std::max<int64_t>(f.right.min, MinRightTermsFor(v.left, v.mode)),
                   f.right.max);
    case LineFault::StartOverflow:
      return Range(f.start, f.start.min, highest - 1);
    case LineFault::NoRange:
    case LineFault::EndOverflow:
      return EndRange(f.start, f.end, lowestEnd, highest, f.start.min);
    default:
      return Range(f.power, f.power.min, std::min<int64_t>(f.power.max, kMaxLinePower));
  }
}

std::optional<Refusal> AddRangeRules(const AddRangeValues& v) {
  const ComputeFields& f = kComputeFields;
  WorkItem item;
  item.kind = WORK_ADD;
  item.power = static_cast<uint32_t>(v.power);
  item.start = static_cast<uint32_t>(v.start);
  item.end = static_cast<uint32_t>(v.end);
  item.terms = static_cast<uint32_t>(v.terms);
  item.megabytes = static_cast<uint32_t>(v.megabytes);
  // The search cannot hold an end whose power passes 128 bits.
  const int64_t highest = std::min<int64_t>(f.end.max, MaxAddEnd(item.power));
  switch (CheckAddItem(item)) {
    case LineFault::None:
      if (v.end <= highest) return std::nullopt;
      return EndRange(f.start, f.end, int64_t{v.start} + 1, highest, f.start.min);
    case LineFault::Terms:
      return Range(f.terms, kMinAddTerms, kMaxAddTerms);
    case LineFault::NoRange:  // the start is at least 1 by its field's range
      return EndRange(f.start, f.end, int64_t{v.start} + 1, highest, f.start.min);
    default:
      return Range(f.power, f.power.min, std::min<int64_t>(f.power.max, kMaxLinePower));
  }
}

std::optional<Refusal> PentaRangeRules(const PentaRangeValues& v) {
  const PentaFields& f = kPentaFields;
  WorkItem item;
  item.kind = WORK_PENTA;
  item.power = static_cast<uint32_t>(v.power);
  item.start = static_cast<uint32_t>(v.start);
  item.end = static_cast<uint32_t>(v.end);
  item.variant = static_cast<uint32_t>(v.type);
  switch (CheckPentaItem(item)) {
    case LineFault::None:
      return std::nullopt;
    case LineFault::NoRange:
      return EndRange(f.start, f.end, int64_t{v.start} + 1, f.end.max, f.start.min);
    default:
      return Range(f.power, kPentaPower, kPentaPower);
  }
}

std::optional<Refusal> SumQuestionRules(const SumQuestionValues& v) {
  U128 limit, number;
  if (!PowerOf(kMaxTableEntries, static_cast<uint32_t>(v.power), limit)) return std::nullopt;
  ParseDecimal128(v.number.c_str(), number);
  if (Less128(number, limit)) return std::nullopt;
  return Refusal{&kSumFields.number, "Please enter a number below " + Decimal128(limit) + "."};
}

std::optional<Refusal> CheckSumRange(const CommandValues& v, const CommandOptions& o,
                                     SumRangeValues& out) {
  const NewFields& f = kNewFields;
  if (auto r = ReadField(f.power, v[0], out.power)) return r;
  if (auto r = ReadField(f.start, v[1], out.start)) return r;
  if (auto r = ReadField(f.end, v[2], out.end)) return r;
  if (auto r = ReadField(f.mode, OptionText(o, f.mode), out.mode)) return r;
  if (auto r = ReadField(f.left, v[3], out.left)) return r;
  if (auto r = ReadField(f.right, v[4], out.right)) return r;
  if (auto r = ReadField(f.duration, OptionText(o, f.duration), out.duration)) return r;
  return SumRangeRules(out);
}

std::optional<Refusal> CheckAddRange(const CommandValues& v, const CommandOptions& o,
                                     AddRangeValues& out) {
  const ComputeFields& f = kComputeFields;
  if (auto r = ReadField(f.power, v[0], out.power)) return r;
  if (auto r = ReadField(f.start, v[1], out.start)) return r;
  if (auto r = ReadField(f.end, v[2], out.end)) return r;
  if (auto r = ReadField(f.terms, v[3], out.terms)) return r;
  if (auto r = ReadField(f.memory, OptionText(o, f.memory), out.megabytes)) return r;
  return AddRangeRules(out);
}

std::optional<Refusal> CheckPentaRange(const CommandValues& v, PentaRangeValues& out) {
  const PentaFields& f = kPentaFields;
  if (auto r = ReadField(f.power, v[0], out.power)) return r;
  if (auto r = ReadField(f.start, v[1], out.start)) return r;
  if (auto r = ReadField(f.end, v[2], out.end)) return r;
  if (auto r = ReadField(f.type, v[3], out.type)) return r;
  return PentaRangeRules(out);
}

std::optional<Refusal> CheckSumQuestion(const CommandValues& v, SumQuestionValues& out) {
  const SumFields& f = kSumFields;
  if (auto r = ReadField(f.power, v[0], out.power)) return r;
  if (auto r = ReadField(f.terms, v[1], out.terms)) return r;
  if (auto r = ReadField(f.number, v[2], out.number)) return r;
  return SumQuestionRules(out);
}

std::optional<Refusal> CheckUser(const CommandValues& v, UserValues& out) {
  if (auto r = ReadField(kUserFields.name, v[0], out.name)) return r;
  return ReadField(kUserFields.email, v[1], out.email);
}

std::optional<Refusal> CheckPreferences(const CommandValues& v, PreferenceValues& out) {
  if (auto r = ReadField(kPreferenceFields.save, v[0], out.saveMinutes)) return r;
  return ReadField(kPreferenceFields.display, v[1], out.displaySeconds);
}

std::optional<Refusal> CheckPriority(const CommandValues& v, uint32_t& out) {
  return ReadField(kPriorityFields.priority, v[0], out);
}

std::optional<Refusal> CheckWorkers(const CommandValues& v, uint32_t& out) {
  return ReadField(kWorkersFields.workers, v[0], out);
}

}  // namespace aequa::ui
