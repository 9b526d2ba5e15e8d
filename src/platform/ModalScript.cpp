#include "platform/ModalScript.h"

#include "platform/MouseInput.h"
#include "platform/SkinDialog.h"
#include "platform/WindowDump.h"

#include <charconv>

namespace {

std::optional<long> Number(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<tagModalAction> ParseModalAction(std::string_view token)
{
    tagModalAction action;
    if (token == "dump") {
        action.kind = tagModalAction::Kind::Dump;
        return action;
    }
    if (token.starts_with("advance:")) {
        const auto ms = Number(token.substr(8));
        if (!ms || *ms < 0)
            return std::nullopt;
        action.kind = tagModalAction::Kind::Advance;
        action.nValue = *ms;
        return action;
    }
    if (token.starts_with("press:")) {
        const std::string_view point = token.substr(6);
        const auto comma = point.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        const auto x = Number(point.substr(0, comma));
        const auto y = Number(point.substr(comma + 1));
        if (!x || !y)
            return std::nullopt;
        action.kind = tagModalAction::Kind::Press;
        action.pt = CPoint(static_cast<int>(*x), static_cast<int>(*y));
        return action;
    }
    const auto id = Number(token);
    if (!id)
        return std::nullopt;
    action.kind = tagModalAction::Kind::Control;
    action.nValue = *id;
    return action;
}

CModalScript::CModalScript(Print print, Advance advance, std::function<void()> settle)
    : m_print(std::move(print)), m_advance(std::move(advance)), m_settle(std::move(settle))
{
}

void CModalScript::Queue(const std::string& name, std::vector<tagModalAction> actions)
{
    m_queued[name].push_back(std::move(actions));
}

void CModalScript::Run(CSkinDialog& dialog)
{
    const std::string name = DumpNameOf(dialog);
    m_print("modal " + name);
    const auto queued = m_queued.find(name);
    if (queued == m_queued.end() || queued->second.empty())
        return;
    const std::vector<tagModalAction> actions = std::move(queued->second.front());
    queued->second.pop_front();

    const auto life = dialog.GetLifeToken();
    for (const tagModalAction& action : actions) {
        if (life.expired() || !dialog.IsWindow() || dialog.HasEnded())
            return;
        switch (action.kind) {
        case tagModalAction::Kind::Control:
            if (!SimulateControlClick(&dialog, static_cast<int>(action.nValue)))
                m_print("onmodal " + name + ' ' + std::to_string(action.nValue) + " ignored");
            break;
        case tagModalAction::Kind::Press: SimulateClick(&dialog, action.pt); break;
        case tagModalAction::Kind::Advance: m_advance(action.nValue); break;
        case tagModalAction::Kind::Dump: m_print(WindowDumpLine(name, dialog)); break;
        }
        if (m_settle)
            m_settle();
    }
}
