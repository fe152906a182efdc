// Every message box of the wizard goes through ShowMessageBox, so that one
// place decides how it is shown: normally a modal QMessageBox; in tests a
// hook that records the text and icon and gives the answer.
//
// Thread rules: user-interface thread only.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

#include "wizard/logic/WizardFace.h"

namespace wizard {

enum class MessageIcon { Exclamation, Stop, Information, Question };

// The buttons' answers, as the dialog framework numbers them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct MessageBoxRequest {
    QWidget* parent = nullptr;
    std::u16string text;
    MessageIcon icon = MessageIcon::Exclamation;
    bool yesNo = false;  // Yes and No buttons instead of OK
};

using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;

// Installs a hook (empty: real message boxes) and returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Shows the text with the icon and an OK button; returns IDOK.
int ShowMessageBox(QWidget* parent, std::u16string_view text, MessageIcon icon);
// A wizard step's refusal: an input refusal with the exclamation icon, a
// trapped failure with the stop icon.
int ShowRefusal(QWidget* parent, std::u16string_view text, RefusalKind kind);
// Shows the text with Yes and No; returns IDYES or IDNO.
int AskYesNo(QWidget* parent, std::u16string_view text, MessageIcon icon);

}  // namespace wizard
