#include "collect/ServerProbe.h"

#include "platform/Exception.h"

CServerProbe::~CServerProbe() {
    if (m_Thread.joinable()) m_Thread.join();
}

void CServerProbe::Start() {
    if (m_State == kRunning) return;
    if (m_Thread.joinable()) m_Thread.join();
    m_State = kRunning;
    m_Thread = std::thread([this] {
        State result = kSilent;
        try {
            m_Connection.CallRfcOpen();
            m_Connection.CallRfcPing();
            result = kAnswered;
        } catch (...) {
        }
        m_Connection.CloseConnection();
        m_State = result;
    });
}
