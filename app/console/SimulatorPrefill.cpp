#include "app/console/SimulatorPrefill.h"

#include "rfc/RfcConnection.h"
#include "wizard/settings/SettingsStore.h"

bool PrefillSimulatorSettings(settings::SettingsStore& store, std::u16string& error) {
    if (!store.GetString(u"Logon", u"HostName").empty()) return true;
    std::u16string password = u"SECRET";
    CRfcConnection().ScramblePassword(password);
    return store.SetSections({{u"Logon",
                               {{u"HostName", u"qashost1"},
                                {u"SystemNumber", u"00"},
                                {u"Client", u"100"},
                                {u"User", u"COLLECTOR"},
                                {u"Password", password},
                                {u"Language", u"EN"}}},
                              {u"QAS",
                               {{u"DestinationList", u"QASDB_SAPCCMSR\n"},
                                {u"SystemList", u"\n"},
                                {u"Destination1", u"QASDB_SAPCCMSR"},
                                {u"System1", u""},
                                {u"Gateway1", u"qashost1_QAS_00"}}}},
                             &error);
}
