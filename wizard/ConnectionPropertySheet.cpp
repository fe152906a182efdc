#include "wizard/ConnectionPropertySheet.h"

#include <QPushButton>

#include "wizard/logic/HandOver.h"

CConnectionPropertySheet::CConnectionPropertySheet(QWidget* parent)
    : CPropertySheet(QStringLiteral("Information Wizard"), parent) {
    m_LogonPage.m_bFirstPage = true;
    m_LogonPage.m_bLastPage = false;
    m_DirectoryPage.m_bFirstPage = false;
    m_DirectoryPage.m_bLastPage = false;
    m_SaposcolPage.m_bFirstPage = false;
    m_SaposcolPage.m_bLastPage = true;
    m_DirectoryPage.SetLogonPage(&m_LogonPage);
    m_SaposcolPage.SetLogonPage(&m_LogonPage);
    AddPage(&m_LogonPage);
    AddPage(&m_DirectoryPage);
    AddPage(&m_SaposcolPage);
}

void CConnectionPropertySheet::SetServerList(std::vector<tagSERVERLIST>* servers) {
    m_LogonPage.SetServerList(servers);
    m_SaposcolPage.SetServerList(servers);
}

void CConnectionPropertySheet::SetRemoteList(std::vector<tagREMOTELIST>* remotes) {
    m_SaposcolPage.SetRemoteList(remotes);
}

void CConnectionPropertySheet::OnInitDialog() {
    CPropertySheet::OnInitDialog();
    HelpButton()->setEnabled(false);
    HelpButton()->hide();
}

ConnectionSettings CConnectionPropertySheet::Settings() const {
    return HandOver(m_LogonPage, m_DirectoryPage);
}
