#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Colour.h"

namespace quorvel {

// One line of the graph's read-out.
struct ReadOutLine {
    // A small square in this colour before the text: the line of the graph it describes.
    std::optional<Colour> swatch;
    // Indented under the line above, as a detail of it.
    bool detail = false;
    // UTF-8.
    std::string text;

    friend bool operator==(const ReadOutLine&, const ReadOutLine&) = default;
};

// What the read-out says for a pointer at logical x over the graph (the x of the
// graph's mouse events).
class ReadOutSource {
public:
    virtual ~ReadOutSource() = default;
    [[nodiscard]] virtual std::vector<ReadOutLine> readOut(float x) = 0;

protected:
    ReadOutSource() = default;
    ReadOutSource(const ReadOutSource&) = default;
    ReadOutSource& operator=(const ReadOutSource&) = default;
};

// A read-out beside the pointer while it rests on the graph. The platform decides when
// it opens (the pointer at rest on the graph for about half a second, no button down)
// and closes (the pointer leaves the graph, or a button is pressed), and where it
// stands; it follows the pointer. Keys never open it. The source gives the text.
class HoverTip {
public:
    virtual ~HoverTip() = default;
    // Where the text comes from; null shows nothing and closes an open read-out.
    virtual void setSource(ReadOutSource* source) = 0;
    // The source's numbers changed: an open read-out asks it again.
    virtual void sourceChanged() = 0;

protected:
    HoverTip() = default;
    HoverTip(const HoverTip&) = default;
    HoverTip& operator=(const HoverTip&) = default;
};

}  // namespace quorvel
