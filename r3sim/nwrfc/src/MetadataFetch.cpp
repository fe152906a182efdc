#include "MetadataFetch.h"

#include "MetadataRows.h"
#include "Repository.h"
#include "Text.h"
#include "wire/MessageCodec.h"

namespace nwsim {
namespace {

// Sends request and expects a Reply; false with the failure otherwise.
template <typename Reply, typename Request>
bool Ask(Connection& connection, const Request& request, Reply& reply, Failure& failure) {
    rfcwire::ServerMessage message;
    if (!connection.Send(rfcwire::Encode(request), failure) ||
        !connection.Receive(message, failure))
        return false;
    auto* answer = std::get_if<Reply>(&message);
    if (answer == nullptr) {
        failure = MakeFailure(nwrfc::RFC_COMMUNICATION_FAILURE, nwrfc::COMMUNICATION_FAILURE,
                              "the partner answered a metadata request with another message");
        connection.CloseAfter(failure);
        return false;
    }
    reply = std::move(*answer);
    return true;
}

Failure NotKnown(const rfcwire::ErrorRecord& error) {
    Failure failure;
    failure.code = nwrfc::RFC_ABAP_EXCEPTION;
    failure.group = nwrfc::ABAP_APPLICATION_FAILURE;
    failure.key = error.key.empty() ? u"NOT_FOUND" : error.key;
    failure.message = error.message;
    return failure;
}

Failure Malformed(std::u16string_view name, const std::string& reason) {
    return MakeFailure(nwrfc::RFC_INVALID_PROTOCOL, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                       "the partner's description of " + Utf8(name) + " is malformed: " + reason);
}

const TypeDesc* ReadType(Connection& connection, Repository& repository, std::u16string_view name,
                         Failure& failure) {
    if (const TypeDesc* cached = repository.Type(name)) return cached;
    rfcwire::StructureReply reply;
    if (!Ask(connection, rfcwire::StructureRequest{std::u16string(name)}, reply, failure))
        return nullptr;
    if (!reply.found) {
        failure = NotKnown(reply.error);
        return nullptr;
    }
    StructureRows rows{std::u16string(name), std::move(reply.fields), reply.lengthB1,
                       reply.lengthB2};
    std::vector<FieldDesc> fields;
    std::string reason;
    if (!FieldsFromRows(rows, fields, reason)) {
        failure = Malformed(name, reason);
        return nullptr;
    }
    return repository.Keep(std::make_unique<TypeDesc>(std::u16string(name), std::move(fields),
                                                      reply.lengthB1, reply.lengthB2));
}

}  // namespace

const TypeDesc* FetchType(Connection& connection, std::u16string_view name, Failure& failure) {
    Repository& repository = Repository::Of(connection.Attributes().systemId);
    if (const TypeDesc* cached = repository.Type(name)) return cached;
    std::lock_guard fetching(repository.Fetching());
    return ReadType(connection, repository, name, failure);
}

const FunctionDesc* FetchFunction(Connection& connection, std::u16string_view name,
                                  Failure& failure) {
    Repository& repository = Repository::Of(connection.Attributes().systemId);
    if (const FunctionDesc* cached = repository.Function(name)) return cached;
    std::lock_guard fetching(repository.Fetching());
    if (const FunctionDesc* cached = repository.Function(name)) return cached;
    rfcwire::InterfaceReply reply;
    if (!Ask(connection, rfcwire::InterfaceRequest{std::u16string(name)}, reply, failure))
        return nullptr;
    if (!reply.found) {
        failure = NotKnown(reply.error);
        return nullptr;
    }
    std::vector<ParameterRow> rows;
    std::vector<ExceptionDesc> exceptions;
    std::string reason;
    if (!ParametersFromRows(reply.params, rows, exceptions, reason)) {
        failure = Malformed(name, reason);
        return nullptr;
    }
    std::vector<ParameterDesc> parameters;
    parameters.reserve(rows.size());
    for (ParameterRow& row : rows) {
        if (!row.structure.empty()) {
            row.desc.slot.typeDesc = ReadType(connection, repository, row.structure, failure);
            if (row.desc.slot.typeDesc == nullptr) return nullptr;
        }
        parameters.push_back(std::move(row.desc));
    }
    return repository.Keep(std::make_unique<FunctionDesc>(std::u16string(name),
                                                          std::move(parameters),
                                                          std::move(exceptions)));
}

}  // namespace nwsim
