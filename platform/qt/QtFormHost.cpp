#include "platform/qt/QtFormHost.h"

#include <QApplication>
#include <QFont>

namespace quorvel {

FontRef QtFormHost::ambientFont() const {
    const QFont font = QApplication::font();
    return std::make_shared<const FontObject>(FontObject{.name = font.family().toStdString(),
                                                         .size = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0,
                                                         .weight = static_cast<std::int16_t>(font.weight()),
                                                         .charset = 0,
                                                         .italic = font.italic(),
                                                         .underline = font.underline(),
                                                         .strikethrough = font.strikeOut()});
}

}  // namespace quorvel
