#include "app/console/ConsoleUserInterface.h"

#include "platform/TextCodec.h"

namespace {

class SilentConnectionTest : public IConnectionTestDialog {
  public:
    void SetStatus(std::u16string_view) override {}
};

}  // namespace

bool CConsoleUserInterface::RunConnectionWizard(ConnectionSettings& settings,
                                                std::vector<tagSERVERLIST>& servers,
                                                std::vector<tagREMOTELIST>& remotes) {
    m_outcome = m_wizard.Run(CConsoleWizard::Mode::Session, settings, servers, remotes);
    return m_outcome == CConsoleWizard::Outcome::Finished;
}

std::unique_ptr<IConnectionTestDialog> CConsoleUserInterface::OpenConnectionTestDialog() {
    return std::make_unique<SilentConnectionTest>();
}

bool CConsoleUserInterface::PostMessage(unsigned, uintptr_t, intptr_t lParam) {
    WriteLine(MessageChannel::Instance().Slot(static_cast<int>(lParam)));
    return true;
}

void CConsoleUserInterface::WriteLine(std::u16string_view line) {
    const std::string text = platform::ToUtf8(line) + "\n";
    std::lock_guard lock(m_writeLock);
    std::fwrite(text.data(), 1, text.size(), m_pOut);
    std::fflush(m_pOut);
}
