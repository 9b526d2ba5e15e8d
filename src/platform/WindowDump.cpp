#include "platform/WindowDump.h"

#include "platform/SkinDialog.h"
#include "platform/Wnd.h"

#include <cstdio>

void CDumpContext::Key(std::string_view key)
{
    if (!m_text.empty())
        m_text += ' ';
    m_text += key;
    m_text += '=';
}

void CDumpContext::Add(std::string_view key, long long value)
{
    Key(key);
    m_text += std::to_string(value);
}

void CDumpContext::Add(std::string_view key, std::span<const long long> values)
{
    Key(key);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_text += ',';
        m_text += std::to_string(values[i]);
    }
}

void CDumpContext::AddText(std::string_view key, std::string_view text)
{
    Key(key);
    m_text += QuoteDumpText(text);
}

void CDumpContext::AddTexts(std::string_view key, std::initializer_list<std::string_view> texts)
{
    Key(key);
    bool first = true;
    for (std::string_view text : texts) {
        if (!first)
            m_text += ',';
        first = false;
        m_text += QuoteDumpText(text);
    }
}

void CDumpContext::AddRaw(std::string_view key, std::string_view value)
{
    Key(key);
    m_text += value;
}

std::string QuoteDumpText(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string DumpControls(const CWnd& parent, std::initializer_list<int> ids)
{
    std::string text;
    for (const int id : ids) {
        const CWnd* control = parent.GetDlgItem(id);
        if (!control)
            continue;
        if (!text.empty())
            text += ',';
        text += std::to_string(id) + ':' + (control->IsWindowVisible() ? 'V' : '-') + (control->IsWindowEnabled() ? 'E' : '-');
    }
    return text;
}

std::string DumpNameOf(const CWnd& wnd)
{
    if (const auto* dumpable = dynamic_cast<const IDumpableWnd*>(&wnd))
        return dumpable->GetDumpName();
    if (const auto* dialog = dynamic_cast<const CSkinDialog*>(&wnd))
        return std::to_string(dialog->GetTemplateID());
    return {};
}

std::string DumpValuesOf(const CWnd& wnd)
{
    const auto* dumpable = dynamic_cast<const IDumpableWnd*>(&wnd);
    if (!dumpable)
        return {};
    CDumpContext dc;
    dumpable->Dump(dc);
    return dc.Text();
}

std::string WindowDumpLine(std::string_view name, const CWnd& wnd)
{
    std::string line = "wdump " + std::string(name);
    const std::string values = DumpValuesOf(wnd);
    if (!values.empty())
        line += ' ' + values;
    return line;
}
