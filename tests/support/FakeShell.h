#pragma once

// In-memory stand-ins for the window, timer, menu, dialog, per-user store, process, the
// user's configuration folder and error report that the application shell talks to.

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "common/Text.h"
#include "platform/ErrorReport.h"
#include "platform/FormWindow.h"
#include "platform/IntervalTimer.h"
#include "platform/MessageDialog.h"
#include "platform/PopupMenu.h"
#include "platform/ProcessInfo.h"
#include "platform/ProfileStore.h"
#include "platform/UserConfigFolder.h"

namespace quorvel::fake {

class FormWindow final : public quorvel::FormWindow {
public:
    void setEvents(FormEvents* events) override { events_ = events; }
    void setCaption(const std::string& caption) override {
        caption_ = caption;
        // A title bar takes 300 twips off the client area.
        frameTop_ = caption.empty() ? 0 : 300;
        fireResize();
    }
    [[nodiscard]] std::string caption() const override { return caption_; }
    [[nodiscard]] Placement placement() const override { return placement_; }
    void setPlacement(const Placement& p) override {
        placement_ = p;
        fireResize();
    }
    // 15 twips a pixel, as at 96 dots per inch.
    [[nodiscard]] int clientPixelWidth() const override { return static_cast<int>(placement_.width / 15); }
    [[nodiscard]] int clientPixelHeight() const override {
        return static_cast<int>((placement_.height - frameTop_) / 15);
    }
    // A screen of 1024 by 768 pixels.
    [[nodiscard]] bool isOnAnyScreen(const Placement& p) const override {
        return p.left < 1024 * 15 && p.top < 768 * 15 && p.left + p.width > 0 && p.top + p.height > 0;
    }
    void moveToDefaultPosition() override {
        sizeAtDefaultMove = placement_;
        placement_.left = defaultLeft;
        placement_.top = defaultTop;
    }
    void show() override { shown = true; }
    bool setStaysOnTop(bool onTop) override {
        onTopCalls.push_back(onTop);
        return true;
    }
    void startInteractiveMove() override { ++moves; }

    void fireResize() {
        if (events_ != nullptr) {
            events_->onResize();
        }
    }
    void fireClose() {
        if (events_ != nullptr) {
            events_->onUnload();
        }
    }
    void fireMouseDown(std::int16_t button) {
        if (events_ != nullptr) {
            events_->onMouseDown(button, 0, 10, 10);
        }
    }

    double defaultLeft = 4800;
    double defaultTop = 3600;
    bool shown = false;
    // The placement the window had when it was last moved to the default position.
    Placement sizeAtDefaultMove;
    int moves = 0;
    std::vector<bool> onTopCalls;

private:
    FormEvents* events_ = nullptr;
    std::string caption_;
    Placement placement_{0, 0, 4000, 4000};
    double frameTop_ = 0;
};

class IntervalTimer final : public quorvel::IntervalTimer {
public:
    void setTick(std::function<void()> tick) override { tick_ = std::move(tick); }
    void setInterval(int milliseconds) override { interval_ = milliseconds; }
    [[nodiscard]] int interval() const override { return interval_; }
    // Runs one tick as the event loop would; an interval of 0 gives none.
    void fire() {
        if (interval_ > 0 && tick_) {
            tick_();
        }
    }

private:
    std::function<void()> tick_;
    int interval_ = 0;
};

class PopupMenu final : public quorvel::PopupMenu {
public:
    int popupAtCursor(const std::vector<MenuEntry>& entries) override {
        shownEntries.push_back(entries);
        return nextChoice;
    }
    int nextChoice = -1;
    std::vector<std::vector<MenuEntry>> shownEntries;
};

class MessageDialog final : public quorvel::MessageDialog {
public:
    void inform(const std::string& title, const std::string& text) override { shown.emplace_back(title, text); }
    std::vector<std::pair<std::string, std::string>> shown;
};

class ProfileStore final : public quorvel::ProfileStore {
public:
    [[nodiscard]] std::string getSetting(const std::string& application, const std::string& section,
                                         const std::string& key, const std::string& fallback) const override {
        const auto it = entries.find({application, section, text::toLower(key)});
        return it == entries.end() ? fallback : it->second;
    }
    void saveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override {
        entries[{application, section, text::toLower(key)}] = value;
        writes.push_back(key);
    }
    std::map<std::tuple<std::string, std::string, std::string>, std::string> entries;
    std::vector<std::string> writes;
};

// Raised instead of ending the process, so that a test can see where the program stopped.
struct ProcessEnded {
    int status;
};

class ProcessInfo final : public quorvel::ProcessInfo {
public:
    [[nodiscard]] std::string executableFolder() const override { return folder; }
    [[nodiscard]] std::string executableName() const override { return name; }
    [[nodiscard]] char pathSeparator() const override { return separator; }
    [[noreturn]] void terminate(int status) override { throw ProcessEnded{status}; }
    std::string folder = "/opt/quorvel";
    std::string name = "quorvel";
    char separator = '/';
};

class UserConfigFolder final : public quorvel::UserConfigFolder {
public:
    [[nodiscard]] std::string userConfigFolder() const override { return folder; }
    std::string folder = "/home/u/.config";
};

struct FatalReported {
    std::string title;
    std::string message;
};

// Counts its boxes; `whileShown` stands for what the box's modal loop would still deliver
// while the first box is up. Ending the process is a FatalReported exception.
class ErrorReport final : public quorvel::ErrorReport {
public:
    int boxes = 0;
    std::function<void()> whileShown;

protected:
    void show(const std::string& title, const std::string& message) override {
        if (++boxes == 1 && whileShown) {
            whileShown();
        }
        throw FatalReported{title, message};
    }
};

}  // namespace quorvel::fake
