#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "common/TaggedValue.h"
#include "graph/MemoryPropertyBag.h"
#include "platform/FontObject.h"

// The main window's layout data: its one graph control, by class, with the properties
// saved for it. The window loads the control from these when it creates it.
namespace quorvel::frmMainLayout {

inline constexpr std::string_view MinGraphClass = "Quorvel.MinGraph";

inline MemoryPropertyBag MinGraphProperties() {
    MemoryPropertyBag bag;
    bag.append("_extentx", TaggedValue(std::int32_t{6588}));
    bag.append("_extenty", TaggedValue(std::int32_t{4471}));
    bag.append("autoredraw", TaggedValue(true));
    bag.append("font", std::make_shared<const FontObject>(FontObject{.name = "ＭＳ Ｐゴシック",
                                                                     .size = 9.0,
                                                                     .weight = 400,
                                                                     .charset = 128,
                                                                     .italic = false,
                                                                     .underline = false,
                                                                     .strikethrough = false}));
    bag.append("bunkaino", TaggedValue(10.0F));
    bag.append("max", TaggedValue(9000.0F));
    bag.append("barx", TaggedValue(true));
    bag.append("bary", TaggedValue(true));
    bag.append("barxinterval", TaggedValue("1000"));
    bag.append("max", TaggedValue(9000.0));
    bag.append("barxcolor", TaggedValue(std::int32_t{0x00FF0000}));
    bag.append("barycolor", TaggedValue(std::int32_t{0x00FF0000}));
    bag.append("drawwidth", TaggedValue(std::int16_t{2}));
    return bag;
}

}  // namespace quorvel::frmMainLayout
