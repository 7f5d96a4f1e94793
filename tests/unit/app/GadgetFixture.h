#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppEnvironment.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "platform/HoverTip.h"
#include "support/FakeFileSystem.h"
#include "support/FakeShell.h"
#include "support/FakeValueSource.h"
#include "support/RecordingHost.h"
#include "support/RecordingSurface.h"

namespace quorvel {

// A read-out that keeps its source, so that a test can ask it what the tip would show.
class SourceKeepingTip final : public HoverTip {
public:
    void setSource(ReadOutSource* s) override { source = s; }
    void sourceChanged() override {}
    [[nodiscard]] std::vector<ReadOutLine> at(float x) const { return source->readOut(x); }
    ReadOutSource* source = nullptr;
};

// The whole application shell over fakes: a file system with the program in
// /opt/quorvel, scripted counters, a recording surface and in-memory per-user settings.
class GadgetFixture : public ::testing::Test {
public:
    static constexpr const char* kIni = "/opt/quorvel/quorvel.ini";
    static constexpr CounterHandle kRed = 101;
    static constexpr CounterHandle kGreen = 102;

    GadgetFixture() { files.addFolder("/opt/quorvel"); }

    void writeIni(const std::string& text) { files.addFile(kIni, text); }

    // Runs the start-up procedure; the window is then loaded and shown.
    frmMain& start() {
        form.reset();
        form = Startup::Main(env, [this](AppEnvironment& e) {
            return std::make_unique<frmMain>(e, FormParts{window, surface, host, timer, menu, dialog, tip});
        });
        return *form;
    }

    // One timer tick with the two counters reading `red` and `green`.
    void tick(double red, double green) {
        counters.readings[kRed] = {red, counter_status::Valid};
        counters.readings[kGreen] = {green, counter_status::Valid};
        timer.fire();
    }

    // A press of `button` on the graph, as the surface reports it.
    void pressOnGraph(std::int16_t button) {
        std::int16_t shift = 0;
        float x = 5;
        float y = 10;
        surface.listener->MouseDown(button, shift, x, y);
    }

    // The colours of the polylines drawn since the last clear, in drawing order.
    [[nodiscard]] std::vector<Colour> seriesColours() const {
        std::vector<Colour> colours;
        bool inSeries = false;
        for (const auto& op : surface.ops) {
            if (op.kind == testing::RecordingSurface::OpKind::Pen) {
                inSeries = false;
            } else if (op.kind == testing::RecordingSurface::OpKind::LineTo && !inSeries) {
                colours.push_back(op.colour.value_or(-1));
                inSeries = true;
            }
        }
        return colours;
    }

    test::FakeFileSystem files;
    fake::ProfileStore profile;
    fake::ProcessInfo process;
    fake::UserConfigFolder configFolder;
    test::FakeValueSource counters;
    fake::ErrorReport errors;
    AppEnvironment env{files, profile, process, configFolder, counters, errors};

    fake::FormWindow window;
    testing::RecordingSurface surface;
    testing::RecordingHost host;
    fake::IntervalTimer timer;
    fake::PopupMenu menu;
    fake::MessageDialog dialog;
    SourceKeepingTip tip;
    std::unique_ptr<frmMain> form;
};

// The message of the standard error report raised while `call` runs.
template <class Call>
std::string fatalMessage(Call&& call) {
    try {
        call();
    } catch (const fake::FatalReported& report) {
        EXPECT_EQ(report.title, "Quorvel");
        return report.message;
    }
    ADD_FAILURE() << "no error was reported";
    return {};
}

}  // namespace quorvel
