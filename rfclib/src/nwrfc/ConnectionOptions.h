// The name/value pairs RfcOpenConnection takes: the logon's own, from our
// connect string (ashost, sysnr, client, user, passwd, lang, and saprouter
// for a router prefix), and further ones an operator keeps in an options
// file (SNC, CPIC keep-alive, trace, ...), never on a command line.
//
// Options file: one "name=value" a line, blanks around either ignored;
// lines that are empty or start with '#' are skipped. Names are letters,
// digits and '_', taken in lower case. The logon's own names are refused
// there: they come from the connect string. A refusal names the file and
// line, never the value, which may be a secret.
//
// Thread rules: pure functions (the file is read once).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "client/ConnectString.h"

namespace rfclib::nw {

using ConnectionParameters = std::vector<std::pair<std::u16string, std::u16string>>;

ConnectionParameters LogonParameters(const ConnectParameters& logon);

bool ParseConnectionOptions(std::string_view text, std::string_view origin,
                            ConnectionParameters& out, std::string& error);
bool ReadConnectionOptions(const std::string& path, ConnectionParameters& out,
                           std::string& error);

}  // namespace rfclib::nw
