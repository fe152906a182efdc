#include "wizard/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "wizard/QtText.h"

namespace wizard {
namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

int Show(const MessageBoxRequest& request) {
    if (Hook()) return Hook()(request);
    QMessageBox::Icon icon = QMessageBox::Warning;
    switch (request.icon) {
        case MessageIcon::Exclamation:
            icon = QMessageBox::Warning;
            break;
        case MessageIcon::Stop:
            icon = QMessageBox::Critical;
            break;
        case MessageIcon::Information:
            icon = QMessageBox::Information;
            break;
        case MessageIcon::Question:
            icon = QMessageBox::Question;
            break;
    }
    const QString title = QApplication::applicationDisplayName().isEmpty()
                              ? QStringLiteral("quorvel")
                              : QApplication::applicationDisplayName();
    QMessageBox box(icon, title, ToQt(request.text),
                    request.yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    request.parent);
    const int answer = box.exec();
    if (!request.yesNo) return IDOK;
    return answer == QMessageBox::Yes ? IDYES : IDNO;
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

int ShowMessageBox(QWidget* parent, std::u16string_view text, MessageIcon icon) {
    return Show({parent, std::u16string(text), icon, false});
}

int ShowRefusal(QWidget* parent, std::u16string_view text, RefusalKind kind) {
    return ShowMessageBox(parent, text,
                          kind == RefusalKind::Trap ? MessageIcon::Stop : MessageIcon::Exclamation);
}

int AskYesNo(QWidget* parent, std::u16string_view text, MessageIcon icon) {
    return Show({parent, std::u16string(text), icon, true});
}

}  // namespace wizard
