#pragma once

#include <cstdint>
#include <vector>

#include "common/TaggedValue.h"
#include "platform/Colour.h"
#include "platform/ControlHost.h"
#include "platform/DrawingSurface.h"
#include "platform/FontObject.h"
#include "platform/InputListener.h"
#include "platform/PropertyBag.h"

namespace quorvel {

// The graph control: scales its surface to `Bunkaino` samples across and `Max` value
// units up, draws a grid and series as polylines, passes its appearance through to the
// surface, saves and loads its properties through the host's bag and relays the
// surface's input events. Properties are read as Name() and written as setName(value);
// every write tells the host once, with the property's name.
class MinGraph {
public:
    // The surface and the host must outlive the control.
    MinGraph(DrawingSurface& picGraph, ControlHost& host);
    ~MinGraph();
    MinGraph(const MinGraph&) = delete;
    MinGraph& operator=(const MinGraph&) = delete;
    MinGraph(MinGraph&&) = delete;
    MinGraph& operator=(MinGraph&&) = delete;

    // Where Click, DblClick, KeyDown, KeyPress, KeyUp, MouseDown, MouseMove and MouseUp
    // go; null for nowhere.
    void setEventListener(InputListener* listener) noexcept { listener_ = listener; }

    // Host notifications.
    void initialise();
    void load(PropertyBag& bag);
    void save(PropertyBag& bag) const;
    void resize(int width, int height);

    [[nodiscard]] Colour ForeColor() const;
    void setForeColor(Colour value);
    [[nodiscard]] bool Enabled() const;
    void setEnabled(bool value);
    [[nodiscard]] bool AutoRedraw() const;
    void setAutoRedraw(bool value);
    [[nodiscard]] FontRef Font() const;
    void setFont(FontRef value);
    [[nodiscard]] std::int16_t Appearance() const;
    void setAppearance(std::int16_t value);
    [[nodiscard]] std::int16_t BackStyle() const { return backStyle_; }
    void setBackStyle(std::int16_t value);
    [[nodiscard]] std::int16_t BorderStyle() const;
    void setBorderStyle(std::int16_t value);
    void Refresh();
    void Cls();
    // LineColor -1 draws in the fore colour.
    void DrawGraph(const TaggedValue& GraphData, Colour LineColor);
    [[nodiscard]] bool BarX() const { return barX_; }
    void setBarX(bool value);
    [[nodiscard]] bool BarY() const { return barY_; }
    void setBarY(bool value);
    [[nodiscard]] TaggedValue BarXInterval() const { return barXInterval_; }
    void setBarXInterval(const TaggedValue& value);
    [[nodiscard]] TaggedValue BarYInterval() const { return barYInterval_; }
    void setBarYInterval(const TaggedValue& value);
    [[nodiscard]] std::int32_t Bunkaino() const { return bunkaino_; }
    void setBunkaino(std::int32_t value);
    [[nodiscard]] double Max() const { return max_; }
    void setMax(double value);
    void DrawBar();
    [[nodiscard]] Colour BarXColor() const { return barXColor_; }
    void setBarXColor(Colour value);
    [[nodiscard]] Colour BarYColor() const { return barYColor_; }
    void setBarYColor(Colour value);
    [[nodiscard]] std::int16_t DrawMode() const;
    void setDrawMode(std::int16_t value);
    [[nodiscard]] std::int16_t DrawStyle() const;
    void setDrawStyle(std::int16_t value);
    [[nodiscard]] std::int16_t DrawWidth() const;
    void setDrawWidth(std::int16_t value);
    [[nodiscard]] Colour BackColor() const;
    void setBackColor(Colour value);

private:
    // Relays the surface's events to the control's listener unchanged.
    class EventRelay final : public InputListener {
    public:
        explicit EventRelay(MinGraph& owner) : owner_(owner) {}
        void Click() override;
        void DblClick() override;
        void KeyDown(std::int16_t& KeyCode, std::int16_t& Shift) override;
        void KeyPress(std::int16_t& KeyAscii) override;
        void KeyUp(std::int16_t& KeyCode, std::int16_t& Shift) override;
        void MouseDown(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
        void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
        void MouseUp(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;

    private:
        MinGraph& owner_;
    };

    void notify(std::string_view name);

    DrawingSurface& picGraph_;
    ControlHost& host_;
    InputListener* listener_ = nullptr;
    EventRelay relay_{*this};

    std::int32_t bunkaino_ = 10;
    double max_ = 100.0;
    bool barX_ = false;
    TaggedValue barXInterval_{std::int16_t{10}};
    Colour barXColor_ = 0;
    bool barY_ = false;
    TaggedValue barYInterval_{std::int16_t{10}};
    Colour barYColor_ = 0;
    std::int16_t backStyle_ = 1;

    // Heights of the series being drawn, kept to spare an allocation per call.
    std::vector<float> ys_;
};

}  // namespace quorvel
