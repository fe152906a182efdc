#include "rfc/catalogue/ThServerList.h"

#include "platform/FixedText.h"

CThServerList::CThServerList() : CTableRfc(u"TH_SERVER_LIST", u"LIST") {}

std::u16string CThServerList::MessageTypesText(uint8_t messageTypes) {
    static constexpr const char16_t* kBits[] = {u"Dialog ", u"Update ", u"Enqueue ", u"Backg ",
                                                u"Spool ",  u"Upd2 ",   u"ATP ",     u"ICM"};
    std::u16string text;
    for (int bit = 0; bit < 8; ++bit) {
        if (messageTypes & (1u << bit)) text += kBits[bit];
    }
    return platform::TrimRight(text);
}
