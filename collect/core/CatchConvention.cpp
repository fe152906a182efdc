#include "collect/core/CatchConvention.h"

std::u16string LowLevelTrapText(std::u16string_view routine, TrapStyle style) {
    std::u16string text(routine);
    text += style == TrapStyle::MessageBox ? u"()\nlow-level exception trapped."
                                           : u"() low-level exception trapped.";
    return text;
}
