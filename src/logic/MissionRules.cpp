#include "logic/MissionRules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace mission {

namespace {

constexpr std::string_view kDifficulty[kMaxDifficulty + 1] = {
    "★容易", "★☆容易", "★★一般", "★★☆一般", "★★★较难", "★★★☆较难", "★★★★困难", "★★★★☆困难", "★★★★★极难",
};

constexpr std::string_view kTaskStatus[] = {
    "没有任务", "任务未接", "", "任务过期", "任务结束", "任务结束", "任务未接", "等待中...",
};

int32_t ReadI32(const uint8_t* bytes, std::size_t at)
{
    int32_t value;
    std::memcpy(&value, bytes + at, sizeof(value));
    return value;
}

std::string RemainingText(int32_t lTimeLeft) { return "剩余时间: " + FormatClock(lTimeLeft); }

}  // namespace

std::string_view FieldText(const uint8_t* field, std::size_t size)
{
    const auto* end = static_cast<const uint8_t*>(std::memchr(field, 0, size));
    return {reinterpret_cast<const char*>(field), end ? static_cast<std::size_t>(end - field) : size};
}

MissionView ReadMission(const TaskRecord& record)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    MissionView view;
    view.cbKind = record.cbTaskKind;
    view.cbState = record.cbTaskState;
    view.cbDifficulty = std::min(bytes[kAtDifficulty], kMaxDifficulty);
    view.lTimeLeft = record.lTimeLeft;
    view.lBonusGold = ReadI32(bytes, kAtGold);
    view.lBonusLottery = ReadI32(bytes, kAtLottery);
    view.lBonusProp = ReadI32(bytes, kAtProps);
    view.theme = FieldText(bytes + kAtTheme, kThemeSize);
    view.describe = FieldText(bytes + kAtDescribe, kDescribeSize);
    view.method = FieldText(bytes + kAtMethod, kMethodSize);
    view.finishDescribe = FieldText(bytes + kAtFinished, kFinishedSize);
    view.cbTotalCount = bytes[kAtTotalCount];
    view.cbDoneCount = std::min(bytes[kAtDoneCount], view.cbTotalCount);
    return view;
}

std::string_view DifficultyLabel(unsigned difficulty) { return kDifficulty[std::min<unsigned>(difficulty, kMaxDifficulty)]; }

std::string_view MissionTitle(uint8_t cbKind)
{
    if (cbKind == kKindChallenge)
        return "挑战任务";
    if (cbKind == kKindDaily)
        return "每日任务";
    return {};
}

std::string ProgressTitle(const MissionView& view, bool bSpaced)
{
    return std::string(MissionTitle(view.cbKind)) + (bSpaced ? " (" : "(") + std::to_string(view.cbDoneCount) + "/" +
           std::to_string(view.cbTotalCount) + ")";
}

std::vector<std::string> RewardLines(const MissionView& view)
{
    const std::pair<int32_t, const char*> rewards[] = {
        {view.lBonusGold, "金币"}, {view.lBonusLottery, "奖券"}, {view.lBonusProp, "道具"}};
    std::vector<std::string> lines;
    for (const auto& [amount, unit] : rewards) {
        if (amount == 0)
            continue;
        // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "+" + to_string().
        std::string line = "+";
        line += std::to_string(amount);
        line += ' ';
        line += unit;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string FormatClock(int64_t seconds)
{
    seconds = std::max<int64_t>(seconds, 0);
    char text[32];
    std::snprintf(text, sizeof(text), "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

std::string_view Description(const MissionView& view)
{
    return view.cbState == kStateDone || view.cbState == kStateCompleted ? view.finishDescribe : view.describe;
}

std::string TaskStatusText(uint8_t cbState, int32_t lTimeLeft)
{
    if (cbState == kStateRunning)
        return RemainingText(lTimeLeft);
    return cbState < std::size(kTaskStatus) ? std::string(kTaskStatus[cbState]) : std::string();
}

bool IsStatusLink(uint8_t cbState) { return cbState == kStateOffered || cbState == kStateFailed; }

std::string DialogStatusText(uint8_t cbState, int32_t lTimeLeft, uint32_t dwBonusTicks)
{
    switch (cbState) {
    case kStateRunning:
        return RemainingText(lTimeLeft);
    case kStateFailed:
        return "任务过期";
    case kStateCompleted:
        return "任务完成";
    case kStateDone:
        return std::to_string(kBonusWaitSeconds - std::min(dwBonusTicks, kBonusWaitSeconds));
    default:
        return {};
    }
}

MissionButtons ChallengeButtons(uint8_t cbState, uint32_t dwBonusTicks)
{
    MissionButtons buttons;
    buttons.bAccept = cbState == kStateOffered;
    buttons.bRetry = cbState == kStateFailed;
    buttons.bNotNow = buttons.bAccept || buttons.bRetry;
    buttons.bBonus = cbState == kStateDone && dwBonusTicks != 0;
    return buttons;
}

MissionButtons DailyButtons(uint8_t cbState, uint32_t dwBonusTicks)
{
    MissionButtons buttons;
    buttons.bBonus = cbState == kStateDone && dwBonusTicks != 0;
    buttons.bTakeTask = cbState == kStateOffered;
    return buttons;
}

bool TickTaskClock(TaskRecord& record)
{
    if (record.lTimeLeft > 0) {
        --record.lTimeLeft;
        return true;
    }
    record.cbTaskState = kStateWaiting;
    return false;
}

std::optional<int> AwardTipsRow(unsigned awardKind, int rowCount)
{
    if (awardKind == 0 || rowCount <= 0)
        return std::nullopt;
    return static_cast<int>(std::min<unsigned>(awardKind, static_cast<unsigned>(rowCount))) - 1;
}

}  // namespace mission
