#include "platform/windows/GdiFont.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

namespace quorvel::win {
namespace {

std::string utf8Of(const wchar_t* text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.pop_back();
    return result;
}

}  // namespace

FontObject fontObjectOf(const LOGFONTW& font, int dpi) {
    // A negative height is the character height, a positive one the cell height; the
    // point size of either is near enough for a font the surface draws no text with.
    const double points = std::abs(font.lfHeight) * 72.0 / std::max(dpi, 1);
    return {.name = utf8Of(font.lfFaceName),
            .size = std::round(points * 4.0) / 4.0,
            .weight = static_cast<std::int16_t>(font.lfWeight),
            .charset = static_cast<std::int16_t>(font.lfCharSet),
            .italic = font.lfItalic != 0,
            .underline = font.lfUnderline != 0,
            .strikethrough = font.lfStrikeOut != 0};
}

LOGFONTW logFontOf(const FontObject& font, int dpi) {
    LOGFONTW result{};
    result.lfHeight = -static_cast<LONG>(std::lround(font.size * std::max(dpi, 1) / 72.0));
    result.lfWeight = font.weight;
    result.lfCharSet = static_cast<BYTE>(font.charset);
    result.lfItalic = font.italic ? TRUE : FALSE;
    result.lfUnderline = font.underline ? TRUE : FALSE;
    result.lfStrikeOut = font.strikethrough ? TRUE : FALSE;
    // A face name longer than the field holds is cut.
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, font.name.c_str(), -1, nullptr, 0);
    if (length > 1) {
        std::wstring face(static_cast<std::size_t>(length), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, font.name.c_str(), -1, face.data(), length);
        std::wcsncpy(result.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    }
    return result;
}

}  // namespace quorvel::win
