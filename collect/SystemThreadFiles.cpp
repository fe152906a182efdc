// The system thread's system-level files: the collecting workstation
// (pc.ctl), the database figures, the software components and patches
// (<SID>.cmp, <SID>.ptc) and the system summary (system.ctl).
#include "collect/PcInfo.h"
#include "collect/SystemThread.h"
#include "collect/core/CatchConvention.h"
#include "collect/system/SystemFiles.h"
#include "platform/FixedText.h"
#include "rfc/catalogue/DB02DB4GetInfo.h"
#include "rfc/catalogue/DB02GetMainScreenQUILLET.h"
#include "rfc/catalogue/DB02OraFillTD110.h"
#include "rfc/catalogue/DbOraMainList.h"

namespace {

template <typename Call>
Call& Called(Call& call, CRfcConnection& connection) {
    call.PrepareInterface(connection);
    call.CallFunctionModule(connection);
    return call;
}

}  // namespace

void CSystemThread::GetPcInformation() {
    WriteSystemMessage(u"capturing pc information.");
    CPcInfo pc;
    pc.Gather();
    WritePcFile(m_strPcFile, pc);
}

void CSystemThread::GetDatabaseInformation() {
    WriteSystemMessage(u"capturing database information.");
    // Values set before a failure stay: an Oracle version without its size.
    RunReported(
        u"CSystemThread::GetDatabaseInformation", TrapStyle::Posted,
        [this] {
            if (m_strDbSys == u"ORACLE") {
                CDbOraMainList mainList;
                m_strDbVersion = OracleVersion(Called(mainList, m_Connection));
                CDB02OraFillTD110 td110;
                m_nDbSize = OracleSizeFigure(Called(td110, m_Connection));
            } else if (m_strDbSys == u"QUILLET") {
                CDB02GetMainScreenQUILLET screen;
                m_nDbSize = QuilletSizeFigure(Called(screen, m_Connection));
            } else if (m_strDbSys == u"DB4") {
                CDB02DB4GetInfo info;
                m_nDbSize = Db4SizeFigure(Called(info, m_Connection));
            }
        },
        [this](const std::u16string& text) { WriteSystemMessage(text); });
}

void CSystemThread::GetSoftwareInformation() {
    if (m_nRelease < 40) return;
    try {
        Called(m_SoftwareInfo, m_Connection);
        WriteSystemMessage(u"capturing component information.");
        WriteComponentFile(m_strComponentFile, m_SoftwareInfo);
        WriteSystemMessage(u"capturing patch information.");
        WritePatchFile(m_strPatchFile, m_SoftwareInfo);
    } catch (...) {
        // A system without software information still starts.
        CheckConnection();
    }
}

void CSystemThread::WriteSystemFile() {
    ::WriteSystemFile(m_strSystemFile, m_SystemInfo, m_strDbVersion, m_nDbSize);
}
