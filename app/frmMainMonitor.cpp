#include <algorithm>
#include <cmath>

#include "app/AutoScale.h"
#include "app/frmMain.h"
#include "common/RuntimeError.h"

// The monitoring cycle of the main window: set-up, the timer tick and the history shift.
namespace quorvel {

TaggedValue frmMain::Setting(const char* name, const TaggedValue& fallback) {
    return env_.settings().GetiniValue(name, fallback);
}

// A counter reference creates its object on first use.
clsPdh& frmMain::Counter(std::unique_ptr<clsPdh>& reference) {
    if (!reference) {
        reference = std::make_unique<clsPdh>(env_.counters());
    }
    return *reference;
}

void frmMain::SetupMonitor() {
    Bunkaino_ = Setting("Bunkaino", std::int16_t{10}).toInt16();
    if (Bunkaino_ < 1) {
        throw RuntimeError(ErrorKind::IndexOutOfRange,
                           "Bunkaino " + std::to_string(Bunkaino_) + " leaves no room for a sample");
    }
    const auto n = static_cast<std::size_t>(Bunkaino_);
    RedLineData_.resizeArray(n);
    GreenLineData_.resizeArray(n);
    SumLineData_.resizeArray(n);

    MinGraph& graph = *MinGraph_;
    graph.setBunkaino(static_cast<std::int32_t>(Bunkaino_));
    userBarX_ = Setting("BarX", true).toBool();
    graph.setBarX(userBarX_);
    graph.setBarXColor(Setting("BarXColor", std::int32_t{16711680}).toInt32());
    const TaggedValue barXInterval = Setting("BarXInterval", std::int16_t{1000});
    autoBarXInterval_ = autoscale::isAuto(barXInterval);
    if (!autoBarXInterval_) {
        graph.setBarXInterval(barXInterval);
    }
    graph.setBarY(Setting("BarY", true).toBool());
    graph.setBarYColor(Setting("BarYColor", std::int32_t{16711680}).toInt32());
    graph.setBarYInterval(Setting("BarYInterval", std::int16_t{10}));
    // The store keeps the text auto as it is, so the file is written back with it.
    const TaggedValue max = Setting("Max", std::int16_t{9000});
    autoMax_ = autoscale::isAuto(max);
    if (!autoMax_) {
        graph.setMax(max.toDouble());
    }
    ApplyScale(false);
    graph.setBackColor(Setting("BackColor", std::int16_t{0}).toInt32());

    const std::int32_t interval = Setting("TimerValue", std::int16_t{1000}).toInt32();
    if (interval < 0 || interval > 65535) {
        throw RuntimeError(ErrorKind::InvalidValue,
                           "the timer interval " + std::to_string(interval) + " is outside 0 to 65535");
    }
    parts_.tmrTimer.setInterval(interval);
    interval_ = interval;

    graph.Cls();

    RedLineCounter_ = std::make_unique<clsPdh>(env_.counters());
    redSource_ = Setting("RedLineSource", "\\RAS Total\\Bytes Transmitted/Sec").toText();
    RedLineCounter_->AddCounter(redSource_);
    GreenLineCounter_ = std::make_unique<clsPdh>(env_.counters());
    greenSource_ = Setting("GreenLineSource", "\\RAS Total\\Bytes Received/Sec").toText();
    GreenLineCounter_->AddCounter(greenSource_);
}

// An automatic top follows the largest sample of every line drawn; an automatic
// interval follows the top; a numeric interval under an automatic top draws no bars
// while they would be more than 20. Each property is written only when it changes:
// a write notifies the host.
void frmMain::ApplyScale(bool sumDrawn) {
    constexpr std::int64_t kMostBars = 20;
    MinGraph& graph = *MinGraph_;
    if (autoMax_) {
        double peak = std::max(autoscale::peakOf(RedLineData_), autoscale::peakOf(GreenLineData_));
        if (sumDrawn) {
            peak = std::max(peak, autoscale::peakOf(SumLineData_));
        }
        const double top = autoscale::topFor(peak);
        if (graph.Max() != top) {
            graph.setMax(top);
        }
    }
    if (autoBarXInterval_) {
        const TaggedValue step(autoscale::barIntervalFor(graph.Max()));
        if (!(graph.BarXInterval() == step)) {
            graph.setBarXInterval(step);
        }
    } else if (autoMax_ && userBarX_) {
        const bool fits = autoscale::barCount(graph.Max(), graph.BarXInterval()) <= kMostBars;
        if (graph.BarX() != fits) {
            graph.setBarX(fits);
        }
    }
}

void frmMain::tmrTimer_Timer() {
    clsPdh& redCounter = Counter(RedLineCounter_);
    clsPdh& greenCounter = Counter(GreenLineCounter_);
    redCounter.Collect();
    greenCounter.Collect();
    const double red = redCounter.GetValue();
    const double green = greenCounter.GetValue();
    PushSample(red, green);
}

void frmMain::PushSample(double red, double green) {
    auto& reds = RedLineData_.array();
    auto& greens = GreenLineData_.array();
    auto& sums = SumLineData_.array();
    const std::size_t n = reds.size();
    if (n == 0) {
        throw RuntimeError(ErrorKind::IndexOutOfRange, "the histories have not been sized");
    }
    // Every history moves one place towards index 0; the newest place is written below.
    std::move(reds.begin() + 1, reds.end(), reds.begin());
    std::move(greens.begin() + 1, greens.end(), greens.begin());
    std::move(sums.begin() + 1, sums.end(), sums.begin());
    const double sum = red + green;
    if (std::isinf(sum) && std::isfinite(red) && std::isfinite(green)) {
        throw RuntimeError(ErrorKind::Overflow, "the sum of the two samples is too large");
    }
    if (std::isnan(sum) && !std::isnan(red) && !std::isnan(green)) {
        throw RuntimeError(ErrorKind::InvalidOperation, "the two samples cannot be added");
    }
    reds[n - 1] = red;
    greens[n - 1] = green;
    sums[n - 1] = sum;

    MinGraph& graph = *MinGraph_;
    const bool showSum = equalsTrue(Setting("NotShowSum", false));
    ApplyScale(showSum);
    graph.Cls();
    sumDrawn_ = showSum;
    if (showSum) {
        sumColour_ = Setting("LineColorSum", std::int32_t{32896}).toInt32();
        graph.DrawGraph(SumLineData_, sumColour_);
    }
    greenColour_ = Setting("LineColorSent", std::int32_t{32768}).toInt32();
    graph.DrawGraph(GreenLineData_, greenColour_);
    redColour_ = Setting("LineColorRecieved", std::int32_t{128}).toInt32();
    graph.DrawGraph(RedLineData_, redColour_);
    parts_.tip.sourceChanged();
}

}  // namespace quorvel
