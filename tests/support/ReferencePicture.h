#pragma once

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iomanip>
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
// Symbols are printable characters other than digits, '-' and space, given in the order
// the colours first appear.
namespace picturetext {

inline constexpr std::string_view symbols =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\"#$%&'()*+,./:;<=>?@[\\]^_`{|}~";

inline std::string write(const Picture& picture) {
    std::map<std::uint32_t, char> symbolOf;
    std::map<char, std::uint32_t> palette;  // in the order of the symbols' character codes
    std::ostringstream rows, text;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0, run = 1; x < picture.width; x += run, run = 1) {
            const std::uint32_t colour = picture.at(x, y);
            while (x + run < picture.width && picture.at(x + run, y) == colour) {
                ++run;
            }
            if (!symbolOf.contains(colour)) {
                const char symbol = symbols.at(symbolOf.size());  // throws when there are too many colours
                symbolOf[colour] = symbol;
                palette[symbol] = colour;
            }
            rows << symbolOf[colour] << (run > 1 ? std::to_string(run) : "");
        }
        rows << '\n';
    }
    text << "quorvel-picture " << picture.width << ' ' << picture.height << '\n' << std::uppercase << std::hex;
    for (const auto& [symbol, colour] : palette) {
        text << symbol << ' ' << std::setfill('0') << std::setw(6) << colour << '\n';
    }
    return text.str() + "-\n" + rows.str();
}

inline Picture read(std::istream& in) {
    std::string magic, line;
    Picture picture;
    in >> magic >> picture.width >> picture.height;
    if (magic != "quorvel-picture" || picture.width < 0 || picture.height < 0) {
        throw std::runtime_error("not a picture in its text form");
    }
    std::map<char, std::uint32_t> palette;
    std::getline(in, line);
    while (std::getline(in, line) && line != "-") {
        palette[line.at(0)] = static_cast<std::uint32_t>(std::stoul(line.substr(2), nullptr, 16));
    }
    for (int y = 0; y < picture.height && std::getline(in, line); ++y) {
        std::istringstream runs(line);
        char symbol = 0;
        for (int run = 1; runs >> symbol; run = 1) {
            if (std::isdigit(runs.peek()) != 0) {
                runs >> run;
            }
            picture.pixels.insert(picture.pixels.end(), static_cast<std::size_t>(run), palette.at(symbol));
        }
    }
    if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        throw std::runtime_error("rows of the wrong length");
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
    return picturetext::read(in);  // a file that does not open is no picture either
}

}  // namespace quorvel::testing
