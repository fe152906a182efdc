#include "rfc/catalogue/TransferNarrowing.h"

bool IsTransferWanted(std::u16string_view name, std::u16string_view parameterClass,
                      std::initializer_list<std::u16string_view> wantedTables) {
    if (parameterClass == u"E" || parameterClass == u"I") return true;
    if (parameterClass != u"T") return false;
    for (std::u16string_view table : wantedTables) {
        if (name == table) return true;
    }
    return false;
}
