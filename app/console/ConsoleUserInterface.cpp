#include "app/console/ConsoleUserInterface.h"

#include <QCoreApplication>

#include "platform/TextCodec.h"
#include "wizard/ConnectionPropertySheet.h"

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
        if (sheet.GetActiveIndex() == before) {
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
