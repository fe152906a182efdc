#include "wizard/ConnectionPropertySheet.h"

#include <QPushButton>

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
    ConnectionSettings s;
    s.hostName = m_LogonPage.m_strHostName;
    s.systemNumber = m_LogonPage.m_strSystemNumber;
    s.client = m_LogonPage.m_strClient;
    s.user = m_LogonPage.m_strUser;
    s.password = m_LogonPage.m_strPassword;
    s.language = m_LogonPage.m_strLanguage;
    s.domain = m_LogonPage.m_strDomain;
    s.routerString = m_LogonPage.m_strSapRouter;
    s.systemId = m_LogonPage.m_strSystemId;
    s.operatingSystem = m_LogonPage.m_strOpSys;
    s.programPath = m_DirectoryPage.m_strProgramPath;
    s.dataPath = m_DirectoryPage.m_strDataPath;
    s.sessionPath = m_DirectoryPage.m_strSessionPath;
    return s;
}
