#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/AppEnvironment.h"
#include "common/TaggedValue.h"
#include "counters/clsPdh.h"
#include "graph/MinGraph.h"
#include "platform/ControlHost.h"
#include "platform/DrawingSurface.h"
#include "platform/FormWindow.h"
#include "platform/HoverTip.h"
#include "platform/InputListener.h"
#include "platform/IntervalTimer.h"
#include "platform/MessageDialog.h"
#include "platform/PopupMenu.h"

namespace quorvel {

// The platform objects the main window is made of.
struct FormParts {
    FormWindow& window;
    DrawingSurface& picGraph;
    ControlHost& host;
    IntervalTimer& tmrTimer;
    PopupMenu& menu;
    MessageDialog& dialog;
    HoverTip& tip;
};

// The program's only window: the graph covers its client area; the left button drags
// it, the right button opens the pop-up menu; a timer drives the monitoring cycle.
class frmMain final : private FormEvents, private InputListener, private ReadOutSource {
public:
    // Indexes of the items of the pop-up menu `MenuRight`, in menu order.
    enum MenuIndex : int { MenuHelp = 0, MenuTop = 1, MenuShowTitlebar = 2, MenuBar1 = 3, MenuQuit = 4 };

    frmMain(AppEnvironment& env, FormParts parts);
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // The load step: restores the placement and sets up the monitoring cycle.
    void Form_Load();
    void Show();

    void Form_Resize();
    void Form_Unload();
    void Form_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MinGraph_MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y);

    void MenuHelp_Click();
    void MenuTop_Click();
    void MenuShowTitlebar_Click();
    void MenuQuit_Click();

    // The monitoring cycle.
    void SetupMonitor();
    void tmrTimer_Timer();
    void PushSample(double red, double green);

    // State that the tests and the menu read.
    [[nodiscard]] const std::vector<MenuEntry>& MenuRight() const { return menuRight_; }
    [[nodiscard]] std::int16_t Bunkaino() const { return Bunkaino_; }
    [[nodiscard]] const TaggedValue& RedLineData() const { return RedLineData_; }
    [[nodiscard]] const TaggedValue& GreenLineData() const { return GreenLineData_; }
    [[nodiscard]] const TaggedValue& SumLineData() const { return SumLineData_; }
    [[nodiscard]] MinGraph& Graph() { return *MinGraph_; }

    static std::string TitleCaption();

private:
    void onResize() override;
    void onUnload() override;
    void onMouseDown(std::int16_t button, std::int16_t shift, float x, float y) override;
    void MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
    [[nodiscard]] std::vector<ReadOutLine> readOut(float x) override;

    void RunMenuCommand(int index);
    void ApplyScale(bool sumDrawn);
    std::vector<ReadOutLine> ReadOutLines(float x);
    clsPdh& Counter(std::unique_ptr<clsPdh>& reference);
    TaggedValue Setting(const char* name, const TaggedValue& fallback);

    AppEnvironment& env_;
    FormParts parts_;
    std::unique_ptr<MinGraph> MinGraph_;
    std::vector<MenuEntry> menuRight_;

    std::int16_t Bunkaino_ = 0;
    std::unique_ptr<clsPdh> RedLineCounter_;
    std::unique_ptr<clsPdh> GreenLineCounter_;
    TaggedValue RedLineData_ = TaggedValue::makeArray(0);
    TaggedValue GreenLineData_ = TaggedValue::makeArray(0);
    TaggedValue SumLineData_ = TaggedValue::makeArray(0);

    // The scale that follows the traffic ("Max" or "BarXInterval" auto), and the
    // user's "BarX", which a numeric interval with too many bars turns off for a while.
    bool autoMax_ = false;
    bool autoBarXInterval_ = false;
    bool userBarX_ = true;
    // What the read-out tells: the sources, the interval and the colours of the last tick.
    std::string redSource_;
    std::string greenSource_;
    std::int32_t interval_ = 1000;
    Colour redColour_ = 128;
    Colour greenColour_ = 32768;
    Colour sumColour_ = 32896;
    bool sumDrawn_ = false;
};

}  // namespace quorvel
