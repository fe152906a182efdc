#include "wizard/PropertySheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

CPropertySheet::CPropertySheet(QString caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("sheet"));

    m_pHeader = new QLabel(this);
    QFont bold = m_pHeader->font();
    bold.setBold(true);
    m_pHeader->setFont(bold);
    m_pStack = new QStackedWidget(this);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_pBack = new QPushButton(tr("< &Back"), this);
    m_pNext = new QPushButton(tr("&Next >"), this);
    m_pFinish = new QPushButton(tr("Finish"), this);
    m_pCancel = new QPushButton(tr("Cancel"), this);
    m_pHelp = new QPushButton(tr("Help"), this);
    m_pBack->setObjectName(QStringLiteral("back"));
    m_pNext->setObjectName(QStringLiteral("next"));
    m_pFinish->setObjectName(QStringLiteral("finish"));
    m_pCancel->setObjectName(QStringLiteral("cancel"));
    m_pHelp->setObjectName(QStringLiteral("help"));
    for (QPushButton* b : {m_pBack, m_pNext, m_pFinish, m_pCancel, m_pHelp}) {
        b->setAutoDefault(false);
    }
    connect(m_pBack, &QPushButton::clicked, this, &CPropertySheet::PressBack);
    connect(m_pNext, &QPushButton::clicked, this, &CPropertySheet::PressNext);
    connect(m_pFinish, &QPushButton::clicked, this, &CPropertySheet::PressFinish);
    connect(m_pCancel, &QPushButton::clicked, this, &CPropertySheet::PressCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pBack);
    buttons->addWidget(m_pNext);
    buttons->addWidget(m_pFinish);
    buttons->addSpacing(8);
    buttons->addWidget(m_pCancel);
    buttons->addWidget(m_pHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pHeader);
    layout->addWidget(m_pStack, 1);
    layout->addWidget(rule);
    layout->addLayout(buttons);
    SetWizardButtons(0);
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    page->SetSheet(this);
    m_Pages.push_back(page);
    m_pStack->addWidget(page);
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return m_nActive >= 0 ? m_Pages[static_cast<size_t>(m_nActive)] : nullptr;
}

int CPropertySheet::DoModal() {
    const int result = exec();
    return result == ID_WIZFINISH ? ID_WIZFINISH : ID_WIZCANCEL;
}

void CPropertySheet::SetWizardButtons(int flags) {
    m_nButtons = flags;
    m_pBack->setEnabled(flags & PSWIZB_BACK);
    const bool finish = flags & PSWIZB_FINISH;
    m_pFinish->setVisible(finish);
    m_pNext->setVisible(!finish);
    m_pNext->setEnabled(flags & PSWIZB_NEXT);
    m_pFinish->setDefault(finish);
    m_pNext->setDefault(!finish);
}

void CPropertySheet::OnInitDialog() {}

void CPropertySheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_bStarted) return;
    m_bStarted = true;
    OnInitDialog();
    if (!m_Pages.empty()) SetActivePage(0);
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) return false;
    if (CPropertyPage* current = GetActivePage(); current && !current->OnKillActive()) {
        return false;
    }
    CPropertyPage* page = m_Pages[static_cast<size_t>(index)];
    m_nActive = index;
    m_pStack->setCurrentWidget(page);
    m_pHeader->setText(page->Caption());
    if (!page->IsInitialized()) {
        page->MarkInitialized();
        page->OnInitDialog();
    }
    page->OnSetActive();
    ScheduleIdle();
    return true;
}

void CPropertySheet::PressBack() {
    CPropertyPage* page = GetActivePage();
    if (!page || !(m_nButtons & PSWIZB_BACK)) return;
    if (page->OnWizardBack() == -1) return ScheduleIdle();
    SetActivePage(m_nActive - 1);
}

void CPropertySheet::PressNext() {
    CPropertyPage* page = GetActivePage();
    if (!page || !(m_nButtons & PSWIZB_NEXT) || (m_nButtons & PSWIZB_FINISH)) return;
    if (page->OnWizardNext() == -1) return ScheduleIdle();
    if (!SetActivePage(m_nActive + 1)) ScheduleIdle();
}

void CPropertySheet::PressFinish() {
    CPropertyPage* page = GetActivePage();
    if (!page || !(m_nButtons & PSWIZB_FINISH)) return;
    if (!page->OnWizardFinish()) return ScheduleIdle();
    done(ID_WIZFINISH);
}

void CPropertySheet::PressCancel() {
    CPropertyPage* page = GetActivePage();
    if (page && !page->OnQueryCancel()) return ScheduleIdle();
    for (CPropertyPage* p : m_Pages) {
        if (p->IsInitialized()) p->OnCancel();
    }
    done(ID_WIZCANCEL);
}

// Escape and the window's close box cancel like the Cancel button.
void CPropertySheet::reject() {
    PressCancel();
}

// The idle pass runs once the operator's action and its message boxes are
// over, as the dialog framework's idle processing would.
void CPropertySheet::ScheduleIdle() {
    if (m_bIdlePending) return;
    m_bIdlePending = true;
    QTimer::singleShot(0, this, [this] {
        m_bIdlePending = false;
        if (CPropertyPage* page = GetActivePage()) page->OnIdleUpdate();
    });
}
