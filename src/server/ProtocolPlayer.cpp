#include "server/ProtocolPlayer.h"

#include <utility>

namespace server {

using namespace protocol;

namespace {

template <typename Record>
void appendRecord(std::vector<uint8_t>& out, uint16_t main, uint16_t sub, const Record& record)
{
    appendFrame(out, main, sub, std::span(reinterpret_cast<const uint8_t*>(&record), sizeof(Record)));
}

}  // namespace

ProtocolPlayer::ProtocolPlayer(ProtocolPlayerOptions options, SampleSink onSample)
    : m_options(std::move(options)), m_onSample(std::move(onSample)), m_bot(m_options.bot)
{
}

void ProtocolPlayer::start(std::vector<uint8_t>& out)
{
    // The log-on goes with the hello, without waiting for its answer, as the protocol allows.
    appendRecord(out, MDM_HOST_LOGON, SUB_LOGON_HELLO, ClientHello{HOST_PROTOCOL_MAGIC, HOST_PROTOCOL_VERSION, 0});
    LogonRequest logon{};
    setText(logon.szName, m_options.name);
    logon.cbDialect = 1;
    appendRecord(out, MDM_HOST_LOGON, SUB_LOGON_REQUEST, logon);
}

bool ProtocolPlayer::onBytes(std::span<const uint8_t> bytes, uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (m_state == State::Failed)
        return false;
    m_decoder.feedAll(bytes, [&](Frame frame) { return handleFrame(frame, nowUs, out); });
    if (m_decoder.failed())
        return fail("the server sent a frame above the maximum size");
    if (m_state == State::Failed)
        return false;
    poll(nowUs, out);
    return true;
}

void ProtocolPlayer::poll(uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (!m_moveDueUs || nowUs < *m_moveDueUs || m_state != State::Seated)
        return;
    m_moveDueUs.reset();
    if (!m_view.myTurn() || m_moveSentUs)
        return;
    const BotMove move = m_bot.decide(m_view.view());
    appendFrame(out, MDM_GAME, move.subCmd, move.body);
    m_moveSentUs = nowUs;
    ++m_moves;
}

void ProtocolPlayer::ping(uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (m_state == State::Failed || m_pings.size() >= kMaxPingsInFlight)
        return;
    const Ping ping{m_nextToken++, static_cast<uint32_t>(nowUs / 1000)};
    m_pings.push_back({ping.dwToken, nowUs});
    appendRecord(out, MDM_HOST_SYSTEM, SUB_SYSTEM_PING, ping);
}

bool ProtocolPlayer::fail(std::string why)
{
    if (m_state != State::Failed) {
        m_state = State::Failed;
        m_failure = std::move(why);
    }
    m_moveDueUs.reset();
    return false;
}

bool ProtocolPlayer::handleFrame(const Frame& frame, uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (!isWellFormed(Direction::ToClient, frame.main, frame.sub, frame.body))
        return fail("malformed frame " + std::to_string(frame.main) + "." + std::to_string(frame.sub));
    switch (frame.main) {
    case MDM_HOST_LOGON:
        if (frame.sub == SUB_LOGON_HELLO_ANSWER) {
            if (!readBody<ServerHello>(frame.body)->cbAccepted)
                return fail("protocol version refused");
        } else if (frame.sub == SUB_LOGON_SUCCESS) {
            if (m_state != State::LoggingOn)
                return fail("log-on answered twice");
            m_userId = readBody<LogonSuccess>(frame.body)->dwUserID;
            m_state = State::Sitting;
            appendRecord(out, MDM_HOST_USER, SUB_USER_SIT, SitRequest{INVALID_TABLE, INVALID_CHAIR});
        } else if (frame.sub == SUB_LOGON_FAILURE) {
            return fail("log-on refused: " + std::string(textOf(readBody<Refusal>(frame.body)->szReason)));
        }
        return true;
    case MDM_HOST_SYSTEM:
        if (frame.sub == SUB_SYSTEM_CLOSE)
            return fail("closed by the server: " + std::string(textOf(readBody<Refusal>(frame.body)->szReason)));
        if (frame.sub == SUB_SYSTEM_PONG) {
            const Ping pong = *readBody<Ping>(frame.body);
            if (m_pings.empty() || m_pings.front().token != pong.dwToken)
                return fail("a pong for no ping");
            if (m_onSample)
                m_onSample(Sample::Ping, nowUs - m_pings.front().sentUs);
            m_pings.pop_front();
        }
        return true;
    case MDM_HOST_USER:
        if (frame.sub == SUB_USER_ENTER && m_state == State::Sitting) {
            const UserInfo me = *readBody<UserInfo>(frame.body);
            if (me.dwUserID == m_userId) {
                m_view.seat(me.wChairID);
                m_state = State::Seated;
            }
        } else if (frame.sub == SUB_USER_REFUSED) {
            ++m_refused;
            if (m_state == State::Sitting)
                return fail("no seat: " + std::string(textOf(readBody<Refusal>(frame.body)->szReason)));
        } else if (frame.sub == SUB_USER_LEAVE && readBody<UserInfo>(frame.body)->dwUserID == m_userId) {
            return fail("removed from the table");
        }
        return true;
    case MDM_HOST_TABLE: {
        if (m_state != State::Seated)
            return true;
        const Snapshot snapshot = *readSnapshot(frame.body);
        if (!m_view.onSnapshot(snapshot.head.cbGameStatus, snapshot.scene))
            return fail("a snapshot the view cannot take");
        if (m_moveSentUs) {
            // The table refused the move and says how it stands. The same view would choose the
            // same move, so the turn is left to the server's clock rather than tried again.
            ++m_refused;
            m_moveSentUs.reset();
            m_moveDueUs.reset();
        } else if (m_view.myTurn()) {
            m_moveDueUs = nowUs + m_options.thinkUs;
        }
        if (!m_readySent && m_view.view().phase == Phase::Free) {
            m_readySent = true;
            appendFrame(out, MDM_HOST_USER, SUB_USER_READY, {});
        }
        return true;
    }
    case MDM_GAME:
        return handleGame(frame, nowUs, out);
    default:
        return true;
    }
}

bool ProtocolPlayer::handleGame(const Frame& frame, uint64_t nowUs, std::vector<uint8_t>& out)
{
    if (m_state != State::Seated)
        return true;
    if (!m_view.onGameMessage(frame.sub, frame.body))
        return fail("game message " + std::to_string(frame.sub) + " does not fit the table as this client saw it");
    switch (frame.sub) {
    case SUB_S_DEAL_CARDS:
    case SUB_S_LORD_INFO:
        turnMoved(INVALID_CHAIR, nowUs);
        break;
    case SUB_S_BID_RESULT:
        turnMoved(ReadRecord<BidResult>(frame.body)->wBidUser, nowUs);
        break;
    case SUB_S_PLAYED_CARDS:
        turnMoved(ReadPlayedCards(frame.body)->wOutCardUser, nowUs);
        break;
    case SUB_S_PASS_CARDS:
        turnMoved(ReadRecord<PassCards>(frame.body)->wPassUser, nowUs);
        break;
    case SUB_S_GAME_END:
        ++m_games;
        m_moveSentUs.reset();
        m_moveDueUs.reset();
        appendFrame(out, MDM_HOST_USER, SUB_USER_READY, {});
        break;
    default:
        break;
    }
    return true;
}

void ProtocolPlayer::turnMoved(uint16_t mover, uint64_t nowUs)
{
    if (mover == m_view.view().chair && m_moveSentUs) {
        if (m_onSample)
            m_onSample(Sample::Move, nowUs - *m_moveSentUs);
        m_moveSentUs.reset();
    }
    if (m_view.myTurn() && !m_moveSentUs)
        m_moveDueUs = nowUs + m_options.thinkUs;
    else
        m_moveDueUs.reset();
}

}  // namespace server
