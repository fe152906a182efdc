// The common ending of every wizard step: the face takes the input, the
// step's body runs, and a failure becomes one refusal (its report text, or
// the routine's "low-level exception trapped." text).
#pragma once

#include <functional>

#include "platform/Exception.h"
#include "wizard/logic/WizardFace.h"

class CWizardStep {
  public:
    explicit CWizardStep(IWizardFace& face) : m_face(face) {}
    virtual ~CWizardStep() = default;
    CWizardStep(const CWizardStep&) = delete;
    CWizardStep& operator=(const CWizardStep&) = delete;

    IWizardFace& Face() const { return m_face; }

  protected:
    // True when body ran through. On a failure, cleanUp runs first with the
    // exception (null for a low-level one), then the face shows the refusal.
    // routine is "Class::Operation" without the parentheses.
    bool RunStep(const char16_t* routine, const std::function<void()>& body,
                 const std::function<void(const CException*)>& cleanUp = {});
    // The same without taking the input first (start-up and clean-up work).
    bool RunReportedStep(const char16_t* routine, const std::function<void()>& body);

    // Focuses the field and throws the collector exception with the text.
    [[noreturn]] void RefuseAt(WizardField field, int row, std::u16string_view text);

  private:
    bool Run(bool takeInput, const char16_t* routine, const std::function<void()>& body,
             const std::function<void(const CException*)>& cleanUp);

    IWizardFace& m_face;
};
