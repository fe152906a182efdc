// The transfer narrowing of the Ex classes: every import and export, and of
// the tables only those named.
#pragma once

#include <initializer_list>
#include <string_view>

bool IsTransferWanted(std::u16string_view name, std::u16string_view parameterClass,
                      std::initializer_list<std::u16string_view> wantedTables);
