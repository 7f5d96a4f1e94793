#include "app/frmMain.h"

#include "app/DispFormTop.h"
#include "app/ErrorGuard.h"
#include "app/Version.h"
#include "app/frmMainLayout.h"
#include "common/RuntimeError.h"

namespace quorvel {
namespace {

constexpr const char* kProfileApplication = "Kelvane SoftWares";
constexpr const char* kHelpText = "特にありません。";
constexpr double kDefaultWidth = 2500;
constexpr double kDefaultHeight = 3000;

std::vector<MenuEntry> makeMenuRight() {
    return {{"簡易ヘルプ(&H)", false},
            {"最前面表示(&T)", false},
            {"タイトルバー表示(&S)", false},
            {"-", false},
            {"終了(&Q)", false}};
}

std::string placementText(double twips) {
    return TaggedValue(static_cast<float>(twips)).toText();
}

}  // namespace

frmMain::frmMain(AppEnvironment& env, FormParts parts) : env_(env), parts_(parts), menuRight_(makeMenuRight()) {
    MinGraph_ = std::make_unique<MinGraph>(parts_.picGraph, parts_.host);
    auto saved = frmMainLayout::MinGraphProperties();
    MinGraph_->load(saved);
    MinGraph_->setEventListener(this);
    parts_.tmrTimer.setInterval(1000);
    parts_.tmrTimer.setTick([this] { Guarded(env_.errors(), [this] { tmrTimer_Timer(); }); });
    parts_.window.setEvents(this);
    parts_.tip.setSource(this);
    // The standard error report is the last thing the program does: no tick, window event
    // or graph event runs once it has begun.
    env_.errors().addEventSource(this, [this] {
        parts_.tmrTimer.setInterval(0);
        parts_.window.setEvents(nullptr);
        MinGraph_->setEventListener(nullptr);
        parts_.tip.setSource(nullptr);
    });
}

frmMain::~frmMain() {
    env_.errors().removeEventSources(this);
    parts_.tmrTimer.setTick({});
    parts_.window.setEvents(nullptr);
    MinGraph_->setEventListener(nullptr);
    parts_.tip.setSource(nullptr);
}

std::string frmMain::TitleCaption() {
    return std::string(version::kProductName) + " Ver." + std::to_string(version::kMajor) + "." +
           std::to_string(version::kMinor) + "." + std::to_string(version::kRevision);
}

void frmMain::Form_Load() {
    FormWindow& window = parts_.window;
    ProfileStore& profile = env_.profile();
    const std::string section = version::kProductName;
    // The entries live in a hidden file that the user never edits on purpose: one that
    // does not convert to a number counts as absent, like a placement off every screen.
    const auto read = [&](const char* key, double fallback) {
        const std::string text = profile.getSetting(kProfileApplication, section, key, placementText(fallback));
        try {
            return static_cast<double>(TaggedValue(text).toSingle());
        } catch (const RuntimeError&) {
            return fallback;
        }
    };
    Placement restored;
    restored.width = read("WindowWidth", kDefaultWidth);
    restored.height = read("WindowHeight", kDefaultHeight);
    // Before the position is read the window stands where the window system would put a
    // window of the size it opens at.
    Placement initial = window.placement();
    initial.width = restored.width;
    initial.height = restored.height;
    window.setPlacement(initial);
    window.moveToDefaultPosition();
    const Placement current = window.placement();
    restored.top = read("Windowtop", current.top);
    restored.left = read("Windowleft", current.left);
    window.setPlacement(restored);
    // A placement saved on a screen that is gone would leave a window without title bar
    // that nobody can reach: such a window opens where the window system puts it.
    if (!window.isOnAnyScreen(window.placement())) {
        window.moveToDefaultPosition();
    }
    Form_Resize();
    SetupMonitor();
}

void frmMain::Show() {
    parts_.window.show();
}

void frmMain::Form_Resize() {
    MinGraph_->resize(parts_.window.clientPixelWidth(), parts_.window.clientPixelHeight());
}

void frmMain::Form_Unload() {
    parts_.tmrTimer.setInterval(0);
    env_.settings().iniSaverSameFilename();
    RedLineCounter_.reset();
    GreenLineCounter_.reset();
}

void frmMain::Form_MouseDown(std::int16_t Button, std::int16_t /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button != 2) {
        return;
    }
    const int chosen = parts_.menu.popupAtCursor(menuRight_);
    RunMenuCommand(chosen);
}

void frmMain::MinGraph_MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    if (Button == 1) {
        parts_.window.startInteractiveMove();
        return;
    }
    Form_MouseDown(Button, Shift, X, Y);
}

void frmMain::RunMenuCommand(int index) {
    switch (index) {
    case MenuHelp: MenuHelp_Click(); break;
    case MenuTop: MenuTop_Click(); break;
    case MenuShowTitlebar: MenuShowTitlebar_Click(); break;
    case MenuQuit: MenuQuit_Click(); break;
    default: break;
    }
}

void frmMain::MenuHelp_Click() {
    parts_.dialog.inform(version::kProductName, kHelpText);
}

void frmMain::MenuTop_Click() {
    MenuEntry& item = menuRight_[MenuTop];
    const std::int16_t flag = item.checked ? 0 : 1;
    DispFormTop::SetTopmost(parts_.window, flag);
    item.checked = !item.checked;
}

void frmMain::MenuShowTitlebar_Click() {
    MenuEntry& item = menuRight_[MenuShowTitlebar];
    parts_.window.setCaption(item.checked ? std::string() : TitleCaption());
    item.checked = !item.checked;
    Form_Resize();
}

void frmMain::MenuQuit_Click() {
    // The store is written whether or not a file was loaded: with no file name the
    // save fails quietly and no file is created.
    env_.settings().iniSaverSameFilename();
    const Placement p = parts_.window.placement();
    ProfileStore& profile = env_.profile();
    const std::string section = version::kProductName;
    profile.saveSetting(kProfileApplication, section, "WindowTop", placementText(p.top));
    profile.saveSetting(kProfileApplication, section, "WindowLeft", placementText(p.left));
    profile.saveSetting(kProfileApplication, section, "WindowWidth", placementText(p.width));
    profile.saveSetting(kProfileApplication, section, "WindowHeight", placementText(p.height));
    env_.process().terminate(0);
}

void frmMain::onResize() {
    Guarded(env_.errors(), [this] { Form_Resize(); });
}

void frmMain::onUnload() {
    Guarded(env_.errors(), [this] { Form_Unload(); });
}

void frmMain::MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
    Guarded(env_.errors(), [&] { MinGraph_MouseDown(Button, Shift, X, Y); });
}

void frmMain::onMouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    Guarded(env_.errors(), [&] { Form_MouseDown(button, shift, x, y); });
}

}  // namespace quorvel
