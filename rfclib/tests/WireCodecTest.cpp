// The wire codec on its own: round trips of every message, and frames that
// are truncated, oversized, garbled or inconsistent.
#include <gtest/gtest.h>

#include "wire/ByteCodec.h"
#include "wire/MessageCodec.h"

namespace rfcwire {
namespace {

CallRequest SampleCall() {
    CallRequest call;
    call.function = u"SAPWL_STATREC_READ_FILE";
    call.exporting.push_back({u"READ_START_DATE", 1, {}, {'2', 0, '0', 0}});
    call.exporting.push_back({u"CONTINUE", 8, {}, {1, 2, 3, 4}});
    TableData table{u"V2_NORMAL_RECORDS", 14, u"SAPWLROW", 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
    call.tables.push_back(table);
    return call;
}

CallReply SampleReply() {
    CallReply reply;
    reply.outcome = CallOutcome::kException;
    reply.error = {105, u"OBJECT_EXISTS", u"exists"};
    reply.importing.push_back({u"E_ROLL", 0, {}, {'x', 0}});
    reply.tables.push_back({u"LIST", 14, u"MSXXLIST", 3, 1, {9, 9, 9}});
    return reply;
}

template <typename Message, typename Variant>
Message RoundTripServer(const Message& message) {
    const auto frame = Encode(message);
    Variant decoded;
    std::string error;
    EXPECT_TRUE(DecodeServerFrame(frame, kDefaultMaxPayload, decoded, error)) << error;
    EXPECT_TRUE(std::holds_alternative<Message>(decoded));
    return std::get<Message>(decoded);
}

TEST(WireCodec, ClientMessagesSurviveARoundTrip) {
    OpenRequest open{u"srv1.lan", 3300,  u"/H/b/S/3298/H/srv1", 0, u"100", u"USER", u"PW",
                     u"EN",       u"pc1"};
    std::vector<ClientMessage> messages = {open, SampleCall(), InterfaceRequest{u"TH_WPINFO"},
                                           StructureRequest{u"WPINFO"}, CloseRequest{}};
    for (const ClientMessage& message : messages) {
        const auto frame = Encode(message);
        ClientMessage decoded;
        std::string error;
        ASSERT_TRUE(DecodeClientFrame(frame, kDefaultMaxPayload, decoded, error)) << error;
        EXPECT_EQ(decoded.index(), message.index());
        EXPECT_EQ(Encode(decoded), frame);
    }
    ClientMessage decoded;
    std::string error;
    ASSERT_TRUE(DecodeClientFrame(Encode(SampleCall()), kDefaultMaxPayload, decoded, error));
    const auto& call = std::get<CallRequest>(decoded);
    EXPECT_EQ(call.function, u"SAPWL_STATREC_READ_FILE");
    ASSERT_EQ(call.exporting.size(), 2u);
    EXPECT_EQ(call.exporting[1].bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(call.tables[0].rowCount, 2u);
    EXPECT_EQ(call.tables[0].structure, u"SAPWLROW");
}

TEST(WireCodec, ServerMessagesSurviveARoundTrip) {
    OpenReply accepted;
    accepted.accepted = true;
    accepted.attributes.partnerRelease = u"700";
    accepted.attributes.unicode = 0;
    EXPECT_EQ((RoundTripServer<OpenReply, ServerMessage>(accepted).attributes.partnerRelease),
              u"700");
    OpenReply refused;
    refused.error = {103, u"RFC_ERROR_LOGON_FAILURE", u"Name or password is incorrect"};
    EXPECT_EQ((RoundTripServer<OpenReply, ServerMessage>(refused).error.group), 103);

    const CallReply reply = RoundTripServer<CallReply, ServerMessage>(SampleReply());
    EXPECT_EQ(reply.outcome, CallOutcome::kException);
    EXPECT_EQ(reply.error.key, u"OBJECT_EXISTS");
    EXPECT_EQ(reply.tables[0].rows, (std::vector<uint8_t>{9, 9, 9}));

    StructureReply structure;
    structure.found = true;
    structure.lengthB2 = 156;
    structure.fields = {2, 2, {1, 2, 3, 4}};
    EXPECT_EQ((RoundTripServer<StructureReply, ServerMessage>(structure).lengthB2), 156u);
    InterfaceReply missing;
    missing.error.key = u"FU_NOT_FOUND";
    EXPECT_EQ((RoundTripServer<InterfaceReply, ServerMessage>(missing).error.key), u"FU_NOT_FOUND");
    EXPECT_EQ(
        (RoundTripServer<ErrorReply, ServerMessage>(ErrorReply{{107, u"K", u"M"}}).error.message),
        u"M");
}

TEST(WireCodec, EveryTruncationIsRefused) {
    const auto call = Encode(SampleCall());
    const auto reply = Encode(SampleReply());
    std::string error;
    for (size_t cut = 0; cut < call.size(); ++cut) {
        ClientMessage client;
        EXPECT_FALSE(
            DecodeClientFrame(std::span(call.data(), cut), kDefaultMaxPayload, client, error));
        EXPECT_FALSE(error.empty());
        if (cut >= kFrameHeaderSize) {  // the payload alone, cut short
            EXPECT_FALSE(DecodeClientMessage(
                MessageType::kCallRequest,
                std::span(call.data() + kFrameHeaderSize, cut - kFrameHeaderSize), client, error))
                << cut;
        }
    }
    for (size_t cut = 0; cut < reply.size(); ++cut) {
        ServerMessage server;
        EXPECT_FALSE(
            DecodeServerFrame(std::span(reply.data(), cut), kDefaultMaxPayload, server, error));
        if (cut >= kFrameHeaderSize) {
            EXPECT_FALSE(DecodeServerMessage(
                MessageType::kCallReply,
                std::span(reply.data() + kFrameHeaderSize, cut - kFrameHeaderSize), server, error))
                << cut;
        }
    }
}

TEST(WireCodec, HeadersOverTheLimitOrGarbledAreRefused) {
    auto frame = Encode(SampleCall());
    FrameHeader header;
    EXPECT_EQ(DecodeFrameHeader(frame, kDefaultMaxPayload, header), FrameError::kNone);
    EXPECT_EQ(DecodeFrameHeader(frame, 8, header), FrameError::kTooLarge);

    auto badMagic = frame;
    badMagic[0] = 'X';
    EXPECT_EQ(DecodeFrameHeader(badMagic, kDefaultMaxPayload, header), FrameError::kBadMagic);
    auto badVersion = frame;
    badVersion[4] = 2;
    EXPECT_EQ(DecodeFrameHeader(badVersion, kDefaultMaxPayload, header), FrameError::kBadVersion);
    EXPECT_NE(FrameErrorText(FrameError::kBadVersion, header).find("version 2"), std::string::npos);
    auto badType = frame;
    badType[6] = 99;
    EXPECT_EQ(DecodeFrameHeader(badType, kDefaultMaxPayload, header), FrameError::kUnknownType);

    // A reply type sent to a server, or a request to a client, is refused.
    ServerMessage server;
    std::string error;
    EXPECT_FALSE(DecodeServerFrame(frame, kDefaultMaxPayload, server, error));
    ClientMessage client;
    EXPECT_FALSE(DecodeClientFrame(Encode(SampleReply()), kDefaultMaxPayload, client, error));
}

TEST(WireCodec, InconsistentPayloadsAreRefused) {
    std::string error;
    ServerMessage server;
    ClientMessage client;

    // Stray bytes after the last value.
    auto frame = Encode(CloseRequest{});
    frame.push_back(0);
    frame[8] = 1;
    EXPECT_FALSE(DecodeClientFrame(frame, kDefaultMaxPayload, client, error));
    EXPECT_NE(error.find("stray"), std::string::npos);

    // Row bytes that are not row count * row length.
    CallReply reply = SampleReply();
    reply.tables[0].rowCount = 2;
    EXPECT_FALSE(DecodeServerFrame(Encode(reply), kDefaultMaxPayload, server, error));

    // A list count far beyond the bytes that follow.
    ByteWriter w;
    w.Text(u"F");
    w.U32(0xFFFFFFFFu);
    const auto payload = w.Take();
    EXPECT_FALSE(DecodeClientMessage(MessageType::kCallRequest, payload, client, error));

    // A text longer than its limit.
    ByteWriter longName;
    longName.Text(std::u16string(kMaxNameUnits + 1, u'A'));
    EXPECT_FALSE(
        DecodeClientMessage(MessageType::kInterfaceRequest, longName.Take(), client, error));

    // A flag byte that is neither 0 nor 1.
    const std::vector<uint8_t> flag = {7};
    EXPECT_FALSE(DecodeServerMessage(MessageType::kOpenReply, flag, server, error));
}

TEST(ByteReader, StopsAtTheEndAndStaysFailed) {
    const std::vector<uint8_t> bytes = {1, 0, 0};
    ByteReader reader(bytes);
    uint32_t value = 0;
    uint8_t small = 0;
    EXPECT_FALSE(reader.U32(value));
    EXPECT_FALSE(reader.U8(small));
    EXPECT_FALSE(reader.Ok());
}

}  // namespace
}  // namespace rfcwire
