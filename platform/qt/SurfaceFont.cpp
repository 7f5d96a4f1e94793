#include "platform/qt/SurfaceFont.h"

#include <algorithm>

namespace quorvel {

FontObject fontObjectOf(const QFont& font) {
    return FontObject{.name = font.family().toStdString(),
                      .size = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0,
                      .weight = static_cast<std::int16_t>(font.weight()),
                      .charset = 0,
                      .italic = font.italic(),
                      .underline = font.underline(),
                      .strikethrough = font.strikeOut()};
}

QFont qFontOf(const FontObject& object) {
    QFont font(QString::fromStdString(object.name));
    if (object.size > 0) {
        font.setPointSizeF(object.size);
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(object.weight, 1, 1000)));
    font.setItalic(object.italic);
    font.setUnderline(object.underline);
    font.setStrikeOut(object.strikethrough);
    return font;
}

}  // namespace quorvel
