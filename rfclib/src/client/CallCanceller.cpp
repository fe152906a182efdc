#include "client/CallCanceller.h"

#include <atomic>
#include <mutex>
#include <unordered_set>

#include "client/ClientConnection.h"

namespace rfclib {
namespace {

std::mutex g_lock;
std::unordered_set<ClientConnection*> g_connections;  // guarded by g_lock
std::atomic<bool> g_cancelled{false};

}  // namespace

CallCanceller& CallCanceller::Instance() {
    static CallCanceller canceller;
    return canceller;
}

void CallCanceller::Enlist(ClientConnection* connection) {
    std::lock_guard lock(g_lock);
    g_connections.insert(connection);
}

void CallCanceller::Delist(ClientConnection* connection) {
    std::lock_guard lock(g_lock);
    g_connections.erase(connection);
}

void CallCanceller::CancelAll() {
    std::lock_guard lock(g_lock);
    // Set first: a connection enlisted after the sweep sees it before it waits.
    g_cancelled = true;
    for (ClientConnection* connection : g_connections) connection->Cancel();
}

void CallCanceller::Resume() {
    g_cancelled = false;
}

bool CallCanceller::Cancelled() const {
    return g_cancelled;
}

}  // namespace rfclib
