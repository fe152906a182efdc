// What a finished wizard hands to the session: the logon values (plain
// password), the system id and operating system, and the three directories.
#pragma once

#include "collect/ConnectionSettings.h"
#include "wizard/logic/DirectoryStep.h"
#include "wizard/logic/LogonStep.h"

inline ConnectionSettings HandOver(const CLogonStep& logon, const CDirectoryStep& directory) {
    ConnectionSettings s;
    s.hostName = logon.m_strHostName;
    s.systemNumber = logon.m_strSystemNumber;
    s.client = logon.m_strClient;
    s.user = logon.m_strUser;
    s.password = CLogonStep::LogonPassword(logon.m_strPassword);
    s.language = logon.m_strLanguage;
    s.domain = logon.m_strDomain;
    s.routerString = logon.m_strSapRouter;
    s.systemId = logon.m_strSystemId;
    s.operatingSystem = logon.m_strOpSys;
    s.programPath = directory.m_strProgramPath;
    s.dataPath = directory.m_strDataPath;
    s.sessionPath = directory.m_strSessionPath;
    return s;
}
