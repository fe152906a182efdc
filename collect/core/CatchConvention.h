// The one way every user action and every capture ends on a failure:
// a framework exception becomes its report text; anything else becomes the
// catching routine's name and "low-level exception trapped.".
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/Exception.h"

// Message boxes break the line after the routine's name; posted messages and
// log lines keep it on one line.
enum class TrapStyle { MessageBox, Posted };

// "Class::Operation()\nlow-level exception trapped." or
// "Class::Operation() low-level exception trapped.".
std::u16string LowLevelTrapText(std::u16string_view routine, TrapStyle style);

// Runs body; on a failure hands the text to report and returns false.
// routine is "Class::Operation" without the parentheses.
template <typename Body, typename Report>
bool RunReported(std::u16string_view routine, TrapStyle style, Body&& body, Report&& report) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const CException& e) {
        report(e.ReportText());
    } catch (...) {
        report(LowLevelTrapText(routine, style));
    }
    return false;
}
