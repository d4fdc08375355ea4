#include "shell/command_values.h"

#include "shell/field_validation.h"

namespace aequa::ui {
namespace {

// Takes a field's value, or gives the refusal naming the field.
template <typename T>
bool Take(const Exchanged<T>& exchanged, const char* field, T& out,
          std::optional<Refusal>& refusal) {
  if (!exchanged.ok()) {
    refusal = Refusal{field, exchanged.prompt};
    return false;
  }
  out = exchanged.value;
  return true;
}

std::string Option(const CommandOptions& o, const char* name, const char* fallback) {
  auto found = o.find(name);
  return found == o.end() ? std::string(fallback) : found->second;
}

}  // namespace

std::optional<Refusal> CheckSumRange(const CommandValues& v, const CommandOptions& o,
                                     SumRangeValues& out) {
  std::optional<Refusal> r;
  if (!Take(ExchangeUnsigned(v[0], 2, 256), "Power", out.power, r) ||
      !Take(ExchangeUnsigned(v[1]), "Start", out.start, r) ||
      !Take(ExchangeUnsigned(v[2]), "End", out.end, r) ||
      !Take(ExchangeUnsigned(v[3], 1, 256), "Left terms", out.left, r) ||
      !Take(ExchangeUnsigned(v[4], 2, 4096), "Right terms", out.right, r)) {
    return r;
  }
  const std::string mode = Option(o, "--mode", "best");
  if (mode == "best") {
    out.mode = 0;
  } else if (mode == "same") {
    out.mode = 1;
  } else if (mode == "exact") {
    out.mode = 2;
  } else {
    return Refusal{"", "--mode takes best, same or exact"};
  }
  Take(ExchangeUnsigned(Option(o, "--duration", "0")), "Duration", out.duration, r);
  return r;
}

std::optional<Refusal> CheckAddRange(const CommandValues& v, const CommandOptions& o,
                                     AddRangeValues& out) {
  std::optional<Refusal> r;
  Take(ExchangeInt(v[0], 2, 256), "Power", out.power, r) &&
      Take(ExchangeInt(v[1]), "Start", out.start, r) &&
      Take(ExchangeInt(v[2]), "End", out.end, r) &&
      Take(ExchangeInt(v[3], 2, 256), "Number of terms", out.terms, r) &&
      Take(ExchangeInt(Option(o, "--memory", "1")), "Memory size", out.megabytes, r);
  return r;
}

std::optional<Refusal> CheckPentaRange(const CommandValues& v, PentaRangeValues& out) {
  std::optional<Refusal> r;
  Take(ExchangeInt(v[0], 2, 256), "Power", out.power, r) &&
      Take(ExchangeInt(v[1], 0, 100001), "Start", out.start, r) &&
      Take(ExchangeInt(v[2], 0, 100001), "End", out.end, r) &&
      Take(ExchangeInt(v[3], 0, 21), "Type", out.type, r);
  return r;
}

std::optional<Refusal> CheckSumQuestion(const CommandValues& v, SumQuestionValues& out) {
  std::optional<Refusal> r;
  Take(ExchangeInt(v[0], 2, 256), "Power", out.power, r) &&
      Take(ExchangeInt(v[1], 2, 256), "Terms", out.terms, r) &&
      Take(ExchangeText(v[2], 128), "Sum", out.number, r);
  return r;
}

std::optional<Refusal> CheckUser(const CommandValues& v, UserValues& out) {
  std::optional<Refusal> r;
  Take(ExchangeText(v[0], 128), "Name", out.name, r) &&
      Take(ExchangeText(v[1], 128), "Email address", out.email, r);
  return r;
}

std::optional<Refusal> CheckPreferences(const CommandValues& v, PreferenceValues& out) {
  std::optional<Refusal> r;
  Take(ExchangeUnsigned(v[0]), "Save each", out.saveMinutes, r) &&
      Take(ExchangeUnsigned(v[1]), "Display each", out.displaySeconds, r);
  return r;
}

std::optional<Refusal> CheckPriority(const CommandValues& v, uint32_t& out) {
  std::optional<Refusal> r;
  Take(ExchangeUnsigned(v[0], 1, 10), "Priority", out, r);
  return r;
}

}  // namespace aequa::ui
