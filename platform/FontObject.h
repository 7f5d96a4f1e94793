#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quorvel {

// A font as the host and the drawing surface hand it around. Holders share one
// immutable object; replacing a font means handing over another object.
struct FontObject {
    std::string name;
    double size = 9.0;  // points
    std::int16_t weight = 400;
    std::int16_t charset = 0;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    friend bool operator==(const FontObject&, const FontObject&) = default;
};

using FontRef = std::shared_ptr<const FontObject>;

// Two references hold equal fonts (both null counts as equal).
inline bool sameFont(const FontRef& a, const FontRef& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return *a == *b;
}

}  // namespace quorvel
