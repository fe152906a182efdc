#include "wizard/DirectoryBrowseEdit.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QToolButton>

CDirectoryBrowseEdit::CDirectoryBrowseEdit(QWidget* parent) : QWidget(parent) {
    m_pEdit = new QLineEdit(this);
    m_pBrowse = new QToolButton(this);
    m_pBrowse->setText(QStringLiteral("..."));
    m_pBrowse->setToolTip(tr("Select Directory"));
    m_pBrowse->setFocusPolicy(Qt::TabFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_pEdit, 1);
    layout->addWidget(m_pBrowse);
    setFocusProxy(m_pEdit);
    connect(m_pBrowse, &QToolButton::clicked, this, [this] { Browse(); });
}

bool CDirectoryBrowseEdit::Browse() {
    const QString caption = tr("Select Directory");
    const QString start = m_pEdit->text();
    const QString chosen = m_Chooser ? m_Chooser(this, caption, start)
                                     : QFileDialog::getExistingDirectory(this, caption, start,
                                                                         QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) return false;
    QString path = QDir::fromNativeSeparators(chosen);
    if (!path.endsWith(u'/')) path += u'/';
    m_pEdit->setText(path);
    m_pEdit->setFocus(Qt::OtherFocusReason);
    return true;
}
