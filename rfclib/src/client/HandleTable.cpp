#include "client/HandleTable.h"

#include "client/HandleRegistry.h"

namespace rfclib {
namespace {

HandleRegistry<ClientConnection>& TheTable() {
    static HandleRegistry<ClientConnection> table;
    return table;
}

}  // namespace

RFC_HANDLE RegisterConnection(std::shared_ptr<ClientConnection> connection) {
    return TheTable().Register(std::move(connection));
}

std::shared_ptr<ClientConnection> FindConnection(RFC_HANDLE handle) {
    return TheTable().Find(handle);
}

std::shared_ptr<ClientConnection> RemoveConnection(RFC_HANDLE handle) {
    return TheTable().Remove(handle);
}

}  // namespace rfclib
