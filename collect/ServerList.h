// The two lists the wizard hands to the system thread: the application
// servers of the system (server list) and the standalone database servers
// reached through RFC destinations (remote list). Entries are fixed-width,
// zero-filled UTF-16 records (tagSERVERLIST is defined with the records);
// a value that fills its field has no terminator. Readers take each field
// as at most its capacity and trim blanks at both ends.
//
// Thread rules: plain values. The system thread owns both lists; the wizard
// fills them while the system thread's Initialize runs, before any worker.
#pragma once

#include <bit>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "collect/records/ServerListRecord.h"

static_assert(std::endian::native == std::endian::little, "records are little-endian");

#pragma pack(push, 1)

// One standalone database server behind an RFC destination.
struct tagREMOTELIST {
    static constexpr size_t kDestinationWidth = 32, kSystemWidth = 10, kGatewayWidth = 20;
    char16_t destination[kDestinationWidth];  // RFC destination, upper case
    char16_t system[kSystemWidth];            // system name within a clavern, may be empty
    char16_t gateway[kGatewayWidth];          // application server that reaches the destination
};

#pragma pack(pop)

static_assert(sizeof(tagREMOTELIST) == 124);

using ServerList = std::vector<tagSERVERLIST>;
using RemoteList = std::vector<tagREMOTELIST>;

// Entries with every value cut to its field.
tagSERVERLIST MakeServerEntry(std::u16string_view name, std::u16string_view host,
                              std::u16string_view systemNumber, std::u16string_view services);
tagREMOTELIST MakeRemoteEntry(std::u16string_view destination, std::u16string_view system,
                              std::u16string_view gateway);

// The fields as readers take them: at most the capacity, trimmed.
std::u16string ServerName(const tagSERVERLIST& entry);
std::u16string ServerHost(const tagSERVERLIST& entry);
std::u16string ServerSystemNumber(const tagSERVERLIST& entry);
std::u16string ServerServices(const tagSERVERLIST& entry);
std::u16string RemoteDestination(const tagREMOTELIST& entry);
std::u16string RemoteSystem(const tagREMOTELIST& entry);
std::u16string RemoteGateway(const tagREMOTELIST& entry);

class CThServerList;

// The rows of a TH_SERVER_LIST call as server-list entries, replacing list:
// NAME and HOST (host in lower case on "Windows NT" systems), the system
// number from the last two characters of NAME, and the message types as
// text. Rows that cannot be fetched are skipped. Throws CCollectorException
// "no entries in server list." when the table has no rows (list stays empty).
void ReadServerRows(CThServerList& call, bool windowsNt, ServerList& list);
