#include "client/HandleTable.h"

#include <map>
#include <mutex>

namespace rfclib {
namespace {

struct Table {
    std::mutex mutex;  // guards connections and next
    std::map<RFC_HANDLE, std::shared_ptr<ClientConnection>> connections;
    RFC_HANDLE next = 1;
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

RFC_HANDLE RegisterConnection(std::shared_ptr<ClientConnection> connection) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    if (table.next == RFC_HANDLE_NULL) return RFC_HANDLE_NULL;  // all handles used up
    const RFC_HANDLE handle = table.next++;
    table.connections.emplace(handle, std::move(connection));
    return handle;
}

std::shared_ptr<ClientConnection> FindConnection(RFC_HANDLE handle) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    auto it = table.connections.find(handle);
    return it == table.connections.end() ? nullptr : it->second;
}

std::shared_ptr<ClientConnection> RemoveConnection(RFC_HANDLE handle) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    auto it = table.connections.find(handle);
    if (it == table.connections.end()) return nullptr;
    auto connection = std::move(it->second);
    table.connections.erase(it);
    return connection;
}

}  // namespace rfclib
