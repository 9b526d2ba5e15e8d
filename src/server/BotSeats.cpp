#include "server/BotSeats.h"

#include <algorithm>

namespace server {

void BotSeats::seat(uint16_t chair, BotKind kind, uint32_t thinkMs)
{
    if (chair >= m_bots.size())
        return;
    m_bots[chair].emplace(kind, thinkMs);
    m_readyAt[chair] = 0;
}

void BotSeats::unseat(uint16_t chair)
{
    if (chair >= m_bots.size())
        return;
    m_bots[chair].reset();
    m_readyAt[chair] = 0;
}

void BotSeats::act(TableEngine& table)
{
    // Each round lets the bot whose turn a move handed over act too; three chairs need no more.
    for (int round = 0; round < 4; ++round) {
        bool acted = false;
        for (uint16_t chair = 0; chair < m_bots.size(); ++chair) {
            if (!m_bots[chair])
                continue;
            const Bot& bot = *m_bots[chair];
            const PlayerView view = table.view(chair);
            if (view.canDouble && bot.wantsDouble(view)) {
                const JiaBangType bang{view.doubleType};
                table.onClientMessage(chair, SUB_C_JIA_BANG, WriteRecord(bang));
                acted = true;
            }
            if (view.current != chair || view.phase == Phase::Free) {
                m_readyAt[chair] = 0;
                continue;
            }
            if (m_readyAt[chair] == 0)
                m_readyAt[chair] = std::max(table.nowMs(), table.turnStartMs()) + bot.thinkMs();
            if (table.nowMs() < m_readyAt[chair])
                continue;
            m_readyAt[chair] = 0;
            const BotMove move = bot.decide(view);
            table.onClientMessage(chair, move.subCmd, move.body);
            acted = true;
        }
        if (!acted)
            break;
    }
}

}  // namespace server
