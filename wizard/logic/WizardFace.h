// What a wizard step needs from the face that shows it: the operator's
// input moved into the step's fields, the focus put on a field, and a
// refusal shown. The Qt pages are one face; the headless front end, which
// answers from options and stored values, is the other.
//
// Thread rules: the face is called on the thread that runs the step.
#pragma once

#include <string_view>

enum class WizardField {
    HostName,
    Domain,
    SapRouter,
    SystemNumber,
    Client,
    User,
    Password,
    Language,
    Directory,
    Gateway
};

// Input refusals carry the exclamation icon; a trapped low-level failure
// carries the stop icon.
enum class RefusalKind { Input, Trap };

class IWizardFace {
  public:
    virtual ~IWizardFace() = default;

    // Moves what the operator entered into the step's fields; false when a
    // control holds a value that cannot be taken.
    virtual bool TakeInput() = 0;

    // Puts the focus on a field; row is the database-server row (1-based)
    // for the gateway field, 0 otherwise.
    virtual void Focus(WizardField field, int row) = 0;

    // Shows why the step did not go on. The step stays where it is.
    virtual void Refuse(std::u16string_view text, RefusalKind kind) = 0;
};
