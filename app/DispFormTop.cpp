#include "app/DispFormTop.h"

namespace quorvel::DispFormTop {

std::int32_t SetTopmost(FormWindow& window, std::int16_t flag) {
    if (flag != 0 && flag != 1) {
        return 0;
    }
    return window.setStaysOnTop(flag == 1) ? 1 : 0;
}

}  // namespace quorvel::DispFormTop
