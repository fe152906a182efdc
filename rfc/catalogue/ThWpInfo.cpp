#include "rfc/catalogue/ThWpInfo.h"

CThWpInfo::CThWpInfo() : CTableRfc(u"TH_WPINFO", u"WPLIST") {}

void CThWpInfo::CallFunctionModule(CRfcConnection& connection) {
    if (!IsPrepared()) PrepareInterface(connection);
    SetImport(u"I_WITH_CPU", std::u16string_view(u"01"));
    CTableRfc::CallFunctionModule(connection);
}
