#include "support/CoOperatingConfig.h"

#include "support/ConfigXml.h"
#include "support/DataPaths.h"
#include "support/DebugTrace.h"
#include "support/ErrorMessage.h"
#include "support/Logger.h"

namespace {

constexpr const char* kCaption = "CoOperatingConfig";

std::optional<ResourceBytes> ReadPlain(std::string_view path)
{
    const auto file = ResolveForReading(path);
    if (!file)
        return std::nullopt;
    return QZResourceManager().ReadFileData(*file, kMaxConfigXmlBytes);
}

ConfigXmlDocument ParseBytes(const ResourceBytes& bytes)
{
    return ParseConfigXml(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace

CoOperatingConfig& CoOperatingConfig::GetInstance()
{
    static CoOperatingConfig instance;
    return instance;
}

CoOperatingConfig::CoOperatingConfig()
{
    m_resources.SetCategory(std::string(QZResourceManager::kCategoryNames[0]));

    // Any trouble with the pointer file falls back to the default main file without a word; the
    // main file's own absence is then reported when it is loaded.
    std::string mainPath(kDefaultMainFile);
    std::string extraPath;
    if (const auto bytes = ReadPlain(kPointerFile)) {
        const ConfigXmlDocument pointer = ParseBytes(*bytes);
        if (const ConfigXmlElement* config = pointer.Find("config")) {
            mainPath = config->text;
            if (const ConfigXmlElement* extra = pointer.Find("extraConfig"))
                extraPath = extra->text;
        }
    }
    LoadFile(mainPath);
    if (!extraPath.empty())
        LoadFile(extraPath);
}

void CoOperatingConfig::LoadFile(const std::string& path)
{
    std::optional<ResourceBytes> bytes;
    if (const auto encrypted = ResolveForReading(path + ".qz"))
        bytes = m_resources.ReadFileData(*encrypted, kMaxConfigXmlBytes);
    else
        bytes = ReadPlain(path);
    ConfigXmlDocument doc;
    if (bytes)
        doc = ParseBytes(*bytes);
    if (!bytes || !doc.ok || doc.elements.empty()) {
        // The player sees only that the file failed; why goes where a developer looks.
        const std::string why = !bytes ? "missing or unreadable" : !doc.ok ? doc.error : "no element";
        if (g_pLogger != nullptr)
            g_pLogger->Write("CoOperatingConfig: %s: %s", path.c_str(), why.c_str());
        else
            DebugTrace("CoOperatingConfig: %s: %s\n", path.c_str(), why.c_str());
        ShowErrorMessage(kCaption, "载入XML文件" + path + "时出错。");
        return;
    }
    for (const ConfigXmlElement& entry : doc.elements.front().children)
        m_values[entry.name] = entry.text;
}

std::string CoOperatingConfig::GetValue(const std::string& key) const
{
    const auto found = m_values.find(key);
    if (found != m_values.end())
        return found->second;
    ShowErrorMessage(kCaption, "错误：联运设置XML文件中没有键为" + key + "的项。请从Hubra2011/CoOpConfig.xml检查起。");
    return {};
}

std::string CoOperatingConfig::GetSwfPath(std::string_view head, std::string_view tail) const
{
    std::string candidate = std::string(head) + GetValue("swfPrefix");
    candidate += tail;
    // The data folders take '/' and '\' alike, so the candidate is looked up as it was built.
    if (QZResourceManager::FileExists(candidate) || QZResourceManager::FileExists(candidate + ".qz"))
        return candidate;
    return std::string(head) + std::string(tail);
}
