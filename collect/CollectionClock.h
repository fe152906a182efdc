// The collector's clock: polled twice a second with the local time, it gives
// one minute tick within second 0 of each wall-clock minute, and the tick
// sets the session's schedule events: every minute join, host, remote and
// instance statistics; at minutes 0, 15, 30 and 45 also buffer and
// dialog-step statistics. A minute whose second 0 passes without a poll
// (the polling thread busy for more than a second) gets no tick.
//
// Thread rules: a plain value owned by the polling thread.
#pragma once

#include "platform/DateTime.h"

class CSystemThread;

class CCollectionClock {
  public:
    // The minute of a tick due at this poll, or -1. A time that could not be
    // read counts as second -1.
    int Poll(const platform::DateTime* localTime);

    // Sets the minute's schedule events in the session (events 3 to 6, and
    // 7 and 8 at a quarter hour); true when it was a quarter-hour tick.
    static bool SignalMinuteTick(CSystemThread& session, int minute);

  private:
    int m_nLastSecond = -1;
};
