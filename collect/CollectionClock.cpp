#include "collect/CollectionClock.h"

#include "collect/SystemThread.h"
#include "platform/HeapArenas.h"

int CCollectionClock::Poll(const platform::DateTime* localTime) {
    const int second = localTime != nullptr ? localTime->second : -1;
    const int minute = localTime != nullptr ? localTime->minute : -1;
    int tick = -1;
    if (second != m_nLastSecond) {
        if (second == 0) tick = minute;
        m_nLastSecond = second;
    }
    return tick;
}

bool CCollectionClock::SignalMinuteTick(CSystemThread& session, int minute) {
    // The last minute's captures are over: what they freed goes back first.
    platform::ReleaseFreeHeap();
    // Before the join request, which hands over to a new folder when one is due.
    if (minute % 15 == 0) session.NoteQuarterHourTick();
    session.SetEvent(CSystemThread::kJoinRequest);
    session.SetEvent(CSystemThread::kHostStatsRequest);
    session.SetEvent(CSystemThread::kRemoteStatsRequest);
    session.SetEvent(CSystemThread::kInstanceStatsRequest);
    if (minute % 15 != 0) return false;
    session.SetEvent(CSystemThread::kBufferStatsRequest);
    session.SetEvent(CSystemThread::kDialogStepRequest);
    return true;
}
