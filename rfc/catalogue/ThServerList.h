// TH_SERVER_LIST: the application servers of the system (T_LIST: NAME, HOST,
// SERV, MSGTYPES).
#pragma once

#include <cstdint>
#include <string>

#include "rfc/catalogue/TableRfc.h"

class CThServerList : public CTableRfc {
  public:
    CThServerList();

    // The names of the message-type bits of a server, in bit order:
    // "Dialog Update Enqueue Backg Spool Upd2 ATP ICM", trimmed right.
    static std::u16string MessageTypesText(uint8_t messageTypes);
};
