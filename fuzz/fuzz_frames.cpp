// The host protocol's frame decoder and every frame reader: any byte stream, cut anywhere, must
// give frames within the maximum or a broken stream, and every frame must be judged by the
// readers of both sides without reading outside its body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "protocol/HostProtocol.h"

using namespace protocol;

namespace {

template <typename Record>
void readAs(std::span<const uint8_t> body)
{
    if (const auto record = readBody<Record>(body)) {
        // A reader that accepted the record promises these are safe to follow.
        volatile std::size_t sink = 0;
        if constexpr (requires { record->szName; })
            sink = sink + textOf(record->szName).size();
        if constexpr (requires { record->szText; })
            sink = sink + textOf(record->szText).size();
        if constexpr (requires { record->szReason; })
            sink = sink + textOf(record->szReason).size();
    }
}

void readEverything(const Frame& frame)
{
    if (frame.body.size() > MAX_FRAME_BODY)
        std::abort();
    isWellFormed(Direction::ToServer, frame.main, frame.sub, frame.body);
    isWellFormed(Direction::ToClient, frame.main, frame.sub, frame.body);
    readAs<ClientHello>(frame.body);
    readAs<ServerHello>(frame.body);
    readAs<LogonRequest>(frame.body);
    readAs<LogonSuccess>(frame.body);
    readAs<Refusal>(frame.body);
    readAs<SitRequest>(frame.body);
    readAs<LookonRequest>(frame.body);
    readAs<AllowLookon>(frame.body);
    readAs<LookonState>(frame.body);
    readAs<ChatMessage>(frame.body);
    readAs<UserInfo>(frame.body);
    readAs<Ping>(frame.body);
    if (const auto snapshot = readSnapshot(frame.body)) {
        if (snapshot->scene.size() > MAX_MESSAGE_BODY)
            std::abort();
        CheckSceneMessage(snapshot->head.cbGameStatus, snapshot->scene);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks where the stream is cut in two reads, so split headers are exercised.
    const std::span<const uint8_t> stream(data + 1, size - 1);
    const std::size_t cut = stream.empty() ? 0 : data[0] % (stream.size() + 1);
    FrameDecoder decoder;
    auto onFrame = [](Frame frame) {
        readEverything(frame);
        return true;
    };
    if (decoder.feedAll(stream.first(cut), onFrame))
        decoder.feedAll(stream.subspan(cut), onFrame);
    if (decoder.buffered() > FRAME_HEADER_SIZE + MAX_FRAME_BODY)
        std::abort();

    // The whole input as one body too, so the readers see every size and not only framed ones.
    if (stream.size() <= MAX_FRAME_BODY)
        readEverything(Frame{static_cast<uint16_t>(data[0]), 0, std::vector<uint8_t>(stream.begin(), stream.end())});
    return 0;
}
