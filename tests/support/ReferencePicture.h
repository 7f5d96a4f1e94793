#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::testing {

// A picture of 0x00RRGGBB pixels, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    [[nodiscard]] std::uint32_t at(int x, int y) const {
        return pixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x));
    }
    friend bool operator==(const Picture&, const Picture&) = default;
};

// The compact text form of a picture with few colours, as the reference pictures are
// kept:
//   quorvel-picture <width> <height>
//   <one colour per line: a symbol, a space, RRGGBB in hex>
//   -
//   <one line per row: runs, each a symbol and its length, the length left out when 1>
// Symbols are printable characters other than digits, '-' and space.
namespace picturetext {

inline constexpr std::string_view symbols =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\"#$%&'()*+,./:;<=>?@[\\]^_`{|}~";

inline std::string write(const Picture& picture) {
    std::map<std::uint32_t, char> palette;
    std::ostringstream rows;
    for (int y = 0; y < picture.height; ++y) {
        int x = 0;
        while (x < picture.width) {
            const std::uint32_t colour = picture.at(x, y);
            int run = 1;
            while (x + run < picture.width && picture.at(x + run, y) == colour) {
                ++run;
            }
            auto [entry, added] = palette.try_emplace(colour, '\0');
            if (added) {
                if (palette.size() > symbols.size()) {
                    throw std::runtime_error("a picture with too many colours for its text form");
                }
                entry->second = symbols[palette.size() - 1];
            }
            rows << entry->second;
            if (run > 1) {
                rows << run;
            }
            x += run;
        }
        rows << '\n';
    }
    std::ostringstream out;
    out << "quorvel-picture " << picture.width << ' ' << picture.height << '\n';
    std::map<char, std::uint32_t> bySymbol;
    for (const auto& [colour, symbol] : palette) {
        bySymbol[symbol] = colour;
    }
    for (const auto& [symbol, colour] : bySymbol) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(colour));
        out << symbol << ' ' << hex << '\n';
    }
    out << "-\n" << rows.str();
    return out.str();
}

inline Picture read(std::istream& in) {
    std::string magic;
    Picture picture;
    in >> magic >> picture.width >> picture.height;
    if (magic != "quorvel-picture" || picture.width < 0 || picture.height < 0) {
        throw std::runtime_error("not a picture in its text form");
    }
    std::map<char, std::uint32_t> palette;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && line != "-") {
        if (line.size() < 3) {
            throw std::runtime_error("a bad colour line: " + line);
        }
        palette[line[0]] = static_cast<std::uint32_t>(std::stoul(line.substr(2), nullptr, 16));
    }
    for (int y = 0; y < picture.height; ++y) {
        if (!std::getline(in, line)) {
            throw std::runtime_error("a picture with rows missing");
        }
        std::size_t i = 0;
        int x = 0;
        while (i < line.size()) {
            const auto colour = palette.find(line[i++]);
            std::size_t digits = i;
            while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') {
                ++digits;
            }
            const int run = digits > i ? std::stoi(line.substr(i, digits - i)) : 1;
            if (colour == palette.end() || x + run > picture.width) {
                throw std::runtime_error("a bad row " + std::to_string(y));
            }
            picture.pixels.insert(picture.pixels.end(), static_cast<std::size_t>(run), colour->second);
            x += run;
            i = digits;
        }
        if (x != picture.width) {
            throw std::runtime_error("a short row " + std::to_string(y));
        }
    }
    return picture;
}

}  // namespace picturetext

// The reference pictures of the drawing surfaces, kept in the source tree.
inline std::string referencePicturePath(const std::string& sourceDir, const std::string& scene) {
    return sourceDir + "/tests/fixtures/surface-pictures/" + scene + ".txt";
}

inline Picture readPictureFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    return picturetext::read(in);
}

inline void writePictureFile(const std::string& path, const Picture& picture) {
    std::ofstream out(path, std::ios::binary);
    out << picturetext::write(picture);
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace quorvel::testing
