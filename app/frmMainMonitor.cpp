#include <cmath>

#include "app/frmMain.h"
#include "common/RuntimeError.h"

// The monitoring cycle of the main window: set-up, the timer tick and the history shift.
namespace quorvel {

TaggedValue frmMain::Setting(const char* name, const TaggedValue& fallback) {
    return env_.settings().GetiniValue(name, fallback);
}

clsPdh& frmMain::RedLineCounter() {
    if (!RedLineCounter_) {
        RedLineCounter_ = std::make_unique<clsPdh>(env_.counters());
    }
    return *RedLineCounter_;
}

clsPdh& frmMain::GreenLineCounter() {
    if (!GreenLineCounter_) {
        GreenLineCounter_ = std::make_unique<clsPdh>(env_.counters());
    }
    return *GreenLineCounter_;
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
    graph.setBarX(Setting("BarX", true).toBool());
    graph.setBarXColor(Setting("BarXColor", std::int32_t{16711680}).toInt32());
    graph.setBarXInterval(Setting("BarXInterval", std::int16_t{1000}));
    graph.setBarY(Setting("BarY", true).toBool());
    graph.setBarYColor(Setting("BarYColor", std::int32_t{16711680}).toInt32());
    graph.setBarYInterval(Setting("BarYInterval", std::int16_t{10}));
    graph.setMax(Setting("Max", std::int16_t{9000}).toDouble());
    graph.setBackColor(Setting("BackColor", std::int16_t{0}).toInt32());

    const std::int32_t interval = Setting("TimerValue", std::int16_t{1000}).toInt32();
    if (interval < 0 || interval > 65535) {
        throw RuntimeError(ErrorKind::InvalidValue,
                           "the timer interval " + std::to_string(interval) + " is outside 0 to 65535");
    }
    parts_.tmrTimer.setInterval(interval);

    graph.Cls();

    RedLineCounter_ = std::make_unique<clsPdh>(env_.counters());
    RedLineCounter_->AddCounter(Setting("RedLineSource", "\\RAS Total\\Bytes Transmitted/Sec").toText());
    GreenLineCounter_ = std::make_unique<clsPdh>(env_.counters());
    GreenLineCounter_->AddCounter(Setting("GreenLineSource", "\\RAS Total\\Bytes Received/Sec").toText());
}

void frmMain::tmrTimer_Timer() {
    RedLineCounter().Collect();
    GreenLineCounter().Collect();
    const double red = RedLineCounter().GetValue();
    const double green = GreenLineCounter().GetValue();
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
    for (std::size_t i = 1; i < n; ++i) {
        reds[i - 1] = std::move(reds[i]);
        greens[i - 1] = std::move(greens[i]);
        sums[i - 1] = std::move(sums[i]);
    }
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
    graph.Cls();
    if (equalsTrue(Setting("NotShowSum", false))) {
        graph.DrawGraph(SumLineData_, Setting("LineColorSum", std::int32_t{32896}).toInt32());
    }
    graph.DrawGraph(GreenLineData_, Setting("LineColorSent", std::int32_t{32768}).toInt32());
    graph.DrawGraph(RedLineData_, Setting("LineColorRecieved", std::int32_t{128}).toInt32());
}

}  // namespace quorvel
