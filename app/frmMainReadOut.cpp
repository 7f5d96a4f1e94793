#include <exception>

#include "app/CounterName.h"
#include "app/ReadingStatus.h"
#include "app/SampleStats.h"
#include "app/ValueText.h"
#include "app/frmMain.h"

// The main window's read-out: what each line drawn means, its numbers now, the sample
// under the pointer, and the scale.
namespace quorvel {
namespace {

constexpr std::string_view kDash = "\xE2\x80\x94";   // U+2014
constexpr std::string_view kBetween = " \xC2\xB7 ";  // U+00B7 between blanks

struct LineFacts {
    const TaggedValue& history;
    Colour colour;
    std::string name;
    valuetext::Unit unit;
    std::optional<std::string> reason;
};

std::string orDash(const std::optional<double>& value, valuetext::Unit unit) {
    return value ? valuetext::format(*value, unit) : std::string(kDash);
}

void describe(std::vector<ReadOutLine>& out, const LineFacts& line, float x, std::int32_t intervalMs) {
    using valuetext::formatWithBits;
    out.push_back({line.colour, false, line.name});
    const samples::Stats stats = samples::statsOf(line.history);
    std::string now = "now ";
    if (line.reason || !stats.now) {
        now += std::string(kDash) + " " + line.reason.value_or("no value yet");
    } else {
        now += formatWithBits(*stats.now, line.unit);
    }
    out.push_back({std::nullopt, true, now});
    out.push_back(
        {std::nullopt, true,
         "max " + orDash(stats.largest, line.unit) + std::string(kBetween) + "mean " + orDash(stats.mean, line.unit)});
    const TaggedValue::Array& elements = line.history.array();
    const std::size_t index = samples::indexAt(x, elements.size());
    std::string pointed = samples::ageText(index, elements.size(), intervalMs);
    if (elements[index].isEmpty()) {
        pointed.append(" ").append(kDash).append(" no sample yet");
    } else {
        pointed += ": " + formatWithBits(elements[index].toDouble(), line.unit);
    }
    out.push_back({std::nullopt, true, pointed});
}

}  // namespace

std::vector<ReadOutLine> frmMain::readOut(float x) {
    // The platform asks from its own event handling: nothing may escape to it.
    try {
        return ReadOutLines(x);
    } catch (const std::exception&) {
        return {};
    }
}

std::vector<ReadOutLine> frmMain::ReadOutLines(float x) {
    if (RedLineData_.arraySize() == 0 || !RedLineCounter_ || !GreenLineCounter_) {
        return {};
    }
    MinGraph& graph = *MinGraph_;
    const auto drawn = [&](Colour colour) { return colour == -1 ? graph.ForeColor() : colour; };
    const valuetext::Unit redUnit = valuetext::unitOfCounter(redSource_);
    const valuetext::Unit greenUnit = valuetext::unitOfCounter(greenSource_);
    const valuetext::Unit sharedUnit = redUnit == greenUnit ? redUnit : valuetext::Unit::Plain;

    std::vector<ReadOutLine> out;
    out.reserve(13);
    describe(out,
             {RedLineData_, drawn(redColour_), shortCounterName(redSource_), redUnit,
              missingValueReason(RedLineCounter_->Status(), namesOtherMachine(redSource_))},
             x, interval_);
    describe(out,
             {GreenLineData_, drawn(greenColour_), shortCounterName(greenSource_), greenUnit,
              missingValueReason(GreenLineCounter_->Status(), namesOtherMachine(greenSource_))},
             x, interval_);
    if (sumDrawn_) {
        describe(out, {SumLineData_, drawn(sumColour_), "Sum", sharedUnit, std::nullopt}, x, interval_);
    }

    std::string scale = "top " + valuetext::format(graph.Max(), sharedUnit) + std::string(kBetween);
    const double step = graph.BarX() ? roundHalfEven(graph.BarXInterval().toDouble()) : 0.0;
    if (step > 0.0 && graph.Max() >= 0.0) {
        scale += "bars every " + valuetext::format(step, sharedUnit);
    } else {
        scale += "no bars";
    }
    out.push_back({std::nullopt, false, scale});
    return out;
}

}  // namespace quorvel
