// Where the data-reduction program is: in the directory pellamy4 stored
// (Pellamy4.ini, Program/Path) when there is one, else beside the
// collector's own program, else in a directory of PATH. An installed
// package keeps both programs in one directory; a build tree too.
//
// Thread rules: a pure function of its arguments and the file system.
#pragma once

#include <string>
#include <string_view>

inline constexpr char16_t kReductionProgramName[] = u"pellamy4";

// The program's path, or empty when none was found; tried lists every path
// looked at, separated by ", ". storedDirectory and programDirectory end in
// the separator (or are empty); searchPath is PATH's value.
std::u16string LocateReductionProgram(std::u16string_view storedDirectory,
                                      std::u16string_view programDirectory,
                                      std::string_view searchPath, std::u16string& tried);
