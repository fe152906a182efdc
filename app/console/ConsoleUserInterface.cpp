#include "app/console/ConsoleUserInterface.h"

#include <QCoreApplication>

#include "platform/Format.h"
#include "platform/TextCodec.h"
#include "wizard/ConnectionPropertySheet.h"
#include "wizard/GridControl.h"
#include "wizard/QtText.h"

void CConsoleUserInterface::RepaintMainWindow() {
    QCoreApplication::processEvents();
}

bool CConsoleUserInterface::PostMessage(unsigned, uintptr_t, intptr_t lParam) {
    WriteLine(MessageChannel::Instance().Slot(static_cast<int>(lParam)));
    return true;
}

void CConsoleUserInterface::WriteLine(std::u16string_view line) {
    const std::string text = platform::ToUtf8(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), m_pOut);
    std::fflush(m_pOut);
}

int CConsoleUserInterface::RunSheet(CConnectionPropertySheet& sheet) {
    sheet.show();
    QCoreApplication::processEvents();
    for (int page = 0; page + 1 < sheet.GetPageCount(); ++page) {
        const int before = sheet.GetActiveIndex();
        sheet.PressNext();
        QCoreApplication::processEvents();
        const bool refused = sheet.GetActiveIndex() == before;
        if (refused || (sheet.GetActivePage() == &sheet.m_SaposcolPage &&
                        !EnterDatabaseServers(sheet.m_SaposcolPage))) {
            sheet.PressCancel();
            return ID_WIZCANCEL;
        }
    }
    sheet.PressFinish();
    QCoreApplication::processEvents();
    if (sheet.result() == ID_WIZFINISH) return ID_WIZFINISH;
    sheet.PressCancel();
    return ID_WIZCANCEL;
}

bool CConsoleUserInterface::EnterDatabaseServers(CSaposcolPropertyPage& page) {
    if (m_Databases.empty()) return true;
    CGridControl& grid = *page.Grid();
    const int rows = grid.GetRowCount();
    if (static_cast<int>(m_Databases.size()) > rows) {
        WriteLine(platform::Format(
            u"%d standalone database servers given; the system has %d application servers.",
            static_cast<int>(m_Databases.size()), rows));
        return false;
    }
    const std::vector<tagSERVERLIST>* servers = page.ServerList();
    const QString firstServer =
        servers && !servers->empty() ? wizard::ToQt(ServerName(servers->front())) : QString();
    for (int row = 1; row <= rows; ++row) {
        const size_t i = static_cast<size_t>(row - 1);
        const ConsoleDatabaseServer none;
        const ConsoleDatabaseServer& db = i < m_Databases.size() ? m_Databases[i] : none;
        grid.SetCellText(row, CSaposcolPropertyPage::kDestinationColumn, wizard::ToQt(db.destination));
        grid.SetCellText(row, CSaposcolPropertyPage::kSystemColumn, wizard::ToQt(db.system));
        grid.SetCellText(row, CSaposcolPropertyPage::kGatewayColumn,
                         db.destination.empty()       ? QString()
                         : db.gateway.empty()         ? firstServer
                                                      : wizard::ToQt(db.gateway));
    }
    return true;
}
