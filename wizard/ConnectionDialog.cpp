#include "wizard/ConnectionDialog.h"

#include <QCoreApplication>
#include <QVBoxLayout>

#include "wizard/QtText.h"

CConnectionDialog::CConnectionDialog() : QDialog(nullptr) {
    setWindowTitle(QStringLiteral("Testing connections, please wait ..."));
    setModal(false);
    m_pAnimation = new CAnimationControl(this);
    m_pAnimation->setObjectName(QStringLiteral("animate1000"));
    m_pAnimation->setFixedSize(381, 65);  // 254 x 40 dialog units
    m_pStatus = new QLabel(QStringLiteral("Starting connection test."), this);
    m_pStatus->setObjectName(QStringLiteral("status1003"));
    m_pStatus->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_pAnimation, 0, Qt::AlignHCenter);
    layout->addWidget(m_pStatus);
    setFixedSize(402, 102);  // 268 x 63 dialog units
}

bool CConnectionDialog::Create() {
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void CConnectionDialog::SetStatus(std::u16string_view text) {
    m_pStatus->setText(wizard::ToQt(text));
    m_pStatus->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CConnectionTestWindow::CConnectionTestWindow() {
    m_Dialog.Create();
    // A clip that cannot be opened leaves the area empty; the tests run on.
    if (m_Dialog.Animation()->Open(CAnimationControl::kConnectionClip)) {
        m_Dialog.Animation()->Play(0, -1, -1);
    }
}
