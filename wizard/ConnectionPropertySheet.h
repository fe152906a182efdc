// The connection wizard: logon data, data directory and session folder,
// standalone database servers, in this order. Settings are stored page by
// page as each page is left forwards, so a cancelled wizard keeps what the
// earlier pages saved; the result counts only when it is ID_WIZFINISH.
//
// Thread rules: user-interface thread only; runs modally.
#pragma once

#include <vector>

#include "collect/ConnectionSettings.h"
#include "collect/ServerList.h"
#include "wizard/DirectoryPropertyPage.h"
#include "wizard/LogonPropertyPage.h"
#include "wizard/PropertySheet.h"
#include "wizard/SaposcolPropertyPage.h"

class CConnectionPropertySheet : public CPropertySheet {
    Q_OBJECT

  public:
    explicit CConnectionPropertySheet(QWidget* parent = nullptr);

    // The owner's lists; the pages fill them as the operator goes on.
    void SetServerList(std::vector<tagSERVERLIST>* servers);
    void SetRemoteList(std::vector<tagREMOTELIST>* remotes);

    // What a finished wizard hands over: logon values (plain password),
    // system id and operating system, and the three directories.
    ConnectionSettings Settings() const;

    CLogonPropertyPage m_LogonPage;
    CDirectoryPropertyPage m_DirectoryPage;
    CSaposcolPropertyPage m_SaposcolPage;

  protected:
    void OnInitDialog() override;
};
