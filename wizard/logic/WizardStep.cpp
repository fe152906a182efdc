#include "wizard/logic/WizardStep.h"

#include "collect/core/CatchConvention.h"
#include "collect/core/CollectorException.h"

bool CWizardStep::RunStep(const char16_t* routine, const std::function<void()>& body,
                          const std::function<void(const CException*)>& cleanUp) {
    return Run(true, routine, body, cleanUp);
}

bool CWizardStep::RunReportedStep(const char16_t* routine, const std::function<void()>& body) {
    return Run(false, routine, body, {});
}

bool CWizardStep::Run(bool takeInput, const char16_t* routine, const std::function<void()>& body,
                      const std::function<void(const CException*)>& cleanUp) {
    try {
        if (takeInput && !m_face.TakeInput()) {
            ThrowCollectorException(u"UpdateData failed during dialog termination.");
        }
        body();
        return true;
    } catch (const CException& e) {
        if (cleanUp) cleanUp(&e);
        m_face.Refuse(e.ReportText(), RefusalKind::Input);
    } catch (...) {
        if (cleanUp) cleanUp(nullptr);
        m_face.Refuse(LowLevelTrapText(routine, TrapStyle::MessageBox), RefusalKind::Trap);
    }
    return false;
}

void CWizardStep::RefuseAt(WizardField field, int row, std::u16string_view text) {
    m_face.Focus(field, row);
    ThrowCollectorException(text);
}
