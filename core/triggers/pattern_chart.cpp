// The chart of a data pattern: read with the data generator, put on the scale of its size.
#include "core/triggers/pattern_chart.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/automation/strings.h"
#include "core/triggers/generate_data.h"

namespace core::triggers {
namespace {

using automation::EqualsIgnoreCase;
using automation::Format;
using automation::IsSpace;

struct SizeRange {
  const char* keyword;
  const char* name;
  double high;
};
constexpr SizeRange kRanges[] = {{"8bit", "8BIT", 255.0},          {"byte", "8BIT", 255.0},
                                 {"16bit", "16BIT", 65535.0},      {"word", "16BIT", 65535.0},
                                 {"32bit", "32BIT", 4294967295.0}, {"long", "32BIT", 4294967295.0}};

std::string Whole(double value) { return Format("%.0f", value); }
std::string Real(double value) { return Format("%g", value); }

// A piece of the list as a reason quotes it: without surrounding blanks, and short.
std::string Quoted(std::string_view piece) {
  while (!piece.empty() && IsSpace(piece.front())) piece.remove_prefix(1);
  while (!piece.empty() && IsSpace(piece.back())) piece.remove_suffix(1);
  constexpr size_t kLongest = 24;
  std::string text(piece.substr(0, kLongest));
  if (piece.size() > kLongest) text += "...";
  return "\"" + text + "\"";
}

bool HasLeadingZero(std::string_view piece) {
  while (!piece.empty() && IsSpace(piece.front())) piece.remove_prefix(1);
  return piece.size() >= 2 && piece[0] == '0' && piece[1] >= '0' && piece[1] <= '9';
}

void AddWarning(PatternChart* chart, const std::string& warning) {
  chart->warning += (chart->warning.empty() ? "" : "; ") + warning;
}

PatternChart Refused(std::string reason) {
  PatternChart chart;
  chart.reason = std::move(reason);
  return chart;
}

// Why a bound of a random pattern was refused; `real` for RANDOM, else RANDOM2.
std::string BadBound(const char* which, std::string_view piece, bool real) {
  if (!real) {
    return Format("The %s %s is not a whole number from 0 to 2147483647.", which,
                  Quoted(piece).c_str());
  }
  if (HasLeadingZero(piece)) {
    return Format("The %s %s starts with 0 and another digit, which a decimal number may not.",
                  which, Quoted(piece).c_str());
  }
  return Format("The %s %s is not a decimal number such as 1.5.", which, Quoted(piece).c_str());
}

// Count, min and max as the pieces give them, with warnings where the simulator gets other
// numbers than the user may think. False with the reason when a bound cannot be read.
bool ReadBand(const GenerateData& generator, const std::vector<std::string>& pieces,
              std::string_view list, bool real, PatternChart* chart) {
  double min = 0, max = 0;
  bool error = false;
  if (real) {
    error = generator.ParseRealRange(list, &chart->count, &min, &max);
  } else {
    uint32_t whole_min = 0, whole_max = 0;
    error = generator.ParseWholeRange(list, &chart->count, &whole_min, &whole_max);
    min = whole_min;
    max = whole_max;
  }
  if (error) {
    double ignored = 0;
    uint32_t whole = 0;
    const bool min_read = real ? generator.ParseReal(pieces[1], &ignored)
                               : generator.ParseNonNegativeWhole(pieces[1], &whole);
    chart->reason = min_read ? BadBound("max", pieces[2], real) : BadBound("min", pieces[1], real);
    return false;
  }
  chart->band_min = min;
  chart->band_max = max;
  uint32_t count = 0;
  if (!generator.ParseWhole(pieces[0], &count)) {
    AddWarning(chart, "the count " + Quoted(pieces[0]) + " is not a whole number: 0 is sent");
  }
  if (pieces.size() == 1) AddWarning(chart, "min and max are not given: 0 is sent");
  if (pieces.size() == 2) AddWarning(chart, "max is not given: 0 is sent");
  if (pieces.size() > 3) AddWarning(chart, "the items after max are ignored");
  if (real && min > max) AddWarning(chart, "min lies above max");
  uint32_t typed_min = 0, typed_max = 0;
  if (!real && pieces.size() >= 3 && generator.ParseNonNegativeWhole(pieces[1], &typed_min) &&
      generator.ParseNonNegativeWhole(pieces[2], &typed_max) && typed_min > typed_max) {
    AddWarning(chart, "min lies above max: both are sent as 0");
  }
  return true;
}

// The values of a value list as sent. False with the reason when an item cannot be read.
bool ReadValues(const GenerateData& generator, const std::vector<std::string>& pieces,
                std::string_view size, std::string_view list, bool real, PatternChart* chart) {
  ValueArea area{};
  if (generator.ParseValueList(&chart->count, &area, size, list)) {
    for (size_t i = 0; i < pieces.size() && i < kValueSlotCount; ++i) {
      uint32_t ignored = 0;
      if (!generator.ParseWhole(pieces[i], &ignored)) {
        chart->reason = Format("Value %u, %s, is not a whole number%s.",
                               static_cast<unsigned>(i + 1), Quoted(pieces[i]).c_str(),
                               real ? " (DOUBLE takes whole numbers in a list)" : "");
        return false;
      }
    }
  }
  for (uint32_t i = 0; i < chart->count; ++i) {
    const uint8_t* slot = area.data() + i * kValueSlotSize;
    uint64_t bits = 0;
    for (int b = real ? 7 : 3; b >= 0; --b) bits = bits << 8 | slot[b];
    double value = static_cast<double>(bits);
    if (real) std::memcpy(&value, &bits, sizeof value);
    chart->values.push_back(value);
  }
  if (pieces.size() > kValueSlotCount) {
    AddWarning(chart, Format("only the first 100 of %u values are sent",
                             static_cast<unsigned>(pieces.size())));
  }
  return true;
}

}  // namespace

double PatternChart::Place(double value) const {
  const double place = (value - low) / (high - low);
  if (!(high > low) || std::isnan(place)) return 0.0;
  return std::clamp(place, 0.0, 1.0);
}

PatternChart ChartOfPattern(std::string_view size, std::string_view generate_mode,
                            std::string_view data_list) {
  const SizeRange* range = nullptr;
  for (const SizeRange& candidate : kRanges) {
    if (EqualsIgnoreCase(size, candidate.keyword)) range = &candidate;
  }
  const bool real = EqualsIgnoreCase(size, "double");
  if (size.empty()) return Refused("Choose a size to see the pattern.");
  if (range == nullptr && !real) {
    return Refused(Format("%s is not a size.", Quoted(size).c_str()));
  }
  const bool listed = EqualsIgnoreCase(generate_mode, "DEFAULT");
  const bool random = EqualsIgnoreCase(generate_mode, "RANDOM");
  const bool random2 = EqualsIgnoreCase(generate_mode, "RANDOM2");
  if (generate_mode.empty()) return Refused("Choose how the data is generated.");
  if (!listed && !random && !random2) {
    return Refused(Format("%s is not a generate mode.", Quoted(generate_mode).c_str()));
  }
  if (random2 && real) {
    return Refused("RANDOM2 draws whole numbers: choose an integer size, or RANDOM for DOUBLE.");
  }

  const GenerateData generator;
  std::vector<std::string> pieces;
  generator.SplitList(data_list, &pieces);
  if (pieces.empty()) {
    return Refused(listed ? "Type the values, such as 1,2,3."
                          : "Type count,min,max, such as 10,0,100.");
  }
  PatternChart chart;
  const bool read = listed ? ReadValues(generator, pieces, size, data_list, real, &chart)
                           : ReadBand(generator, pieces, data_list, random, &chart);
  if (!read) return Refused(chart.reason);

  // The shown numbers: the band's as typed (reals for RANDOM), the scale's whole.
  const auto shown = [random](double value) { return random ? Real(value) : Whole(value); };
  if (listed) {
    chart.shape = PatternChart::Shape::Values;
    chart.label = Format("%u %s", chart.count, chart.count == 1 ? "value" : "values");
  } else {
    chart.shape = PatternChart::Shape::Band;
    chart.label = Format("%u %s drawn by the simulator between %s and %s", chart.count,
                         chart.count == 1 ? "value" : "values", shown(chart.band_min).c_str(),
                         shown(chart.band_max).c_str());
  }

  std::vector<double> drawn = chart.values;
  if (!listed) drawn = {chart.band_min, chart.band_max};
  if (range != nullptr) {
    chart.low = 0;
    chart.high = range->high;
    chart.scale_note = Format("the range of %s, 0 to %s", range->name, Whole(range->high).c_str());
    const auto beyond = std::count_if(drawn.begin(), drawn.end(),
                                      [&](double v) { return v < chart.low || v > chart.high; });
    if (beyond > 0) {
      AddWarning(&chart, listed ? Format("%u %s beyond the %s range", static_cast<unsigned>(beyond),
                                         beyond == 1 ? "value lies" : "values lie", range->name)
                                : Format("the band reaches beyond the %s range", range->name));
    }
  } else {
    // DOUBLE has no range of its own: the scale runs from 0, or the lowest value below it, to
    // the highest value. Infinite bounds run off the scale's ends.
    chart.low = 0;
    chart.high = 0;
    for (const double value : drawn) {
      if (!std::isfinite(value)) continue;
      chart.low = std::min(chart.low, value);
      chart.high = std::max(chart.high, value);
    }
    if (!(chart.high > chart.low)) chart.high = chart.low + 1;
  }
  chart.low_text = real ? Real(chart.low) : Whole(chart.low);
  chart.high_text = real ? Real(chart.high) : Whole(chart.high);
  if (real) {
    chart.scale_note = chart.low_text + " to " + chart.high_text +
                       ", spanning 0 and the pattern (DOUBLE has no fixed range)";
  }
  // The warnings make one sentence.
  if (!chart.warning.empty()) {
    chart.warning[0] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(chart.warning[0])));
    chart.warning += '.';
  }
  return chart;
}

}  // namespace core::triggers
