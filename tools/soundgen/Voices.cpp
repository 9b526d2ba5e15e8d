#include "Voices.h"

#include <string>

namespace sound {

namespace {

// One speaker of one voice set. The Mandarin voice that reads Latin letters as pinyin is the one
// whose characters come out in Mandarin: the plain Mandarin voice spells each character's pinyin
// in English. The variant, pitch and speed tell the four speakers apart.
struct Speaker {
    std::string folder; // below "Telvo/Sound/", with its trailing '/'
    char letter;        // 'M' male, 'N' female
    const char* variant;
    int pitch;  // espeak-ng 0-99
    int speed;  // words a minute
    bool lively; // the second voice set speaks the livelier table talk
};

struct Line {
    const char* name; // after the speaker's letter and '_'
    const char* text;
    const char* livelyText; // null: the same as text
};

// What a player says for each play. Ranks 3-17 are 3 to 10, J, Q, K, A, 2 and the two jokers.
const char* const kRankWords[] = {"三", "四", "五", "六", "七", "八", "九", "十", "钩", "圈", "K", "A", "二", "小王", "大王"};
constexpr int kFirstRank = 3;
constexpr int kLastPairRank = 15; // jokers never pair: two of them are the rocket

const Line kPlayLines[] = {
    {"3_0", "三个", "三张"},
    {"3_1", "三带一", nullptr},
    {"3_2", "三带一对", "三带二"},
    {"PLANE0", "飞机", nullptr},
    {"PLANE1", "看我的飞机", "飞机来了"},
    {"1_LINE0", "顺子", nullptr},
    {"1_LINE1", "一条顺子", "顺子来了"},
    {"2_LINE0", "连对", nullptr},
    {"4_2", "四带二", nullptr},
    {"BOMB0", "炸弹", nullptr},
    {"BOMB1", "我炸", "炸弹来了"},
    {"ROCKET0", "王炸", nullptr},
    {"ROCKET1", "火箭", "王炸，管上"},
};

const Line kEventLines[] = {
    {"Pass0", "不要", nullptr},
    {"Pass1", "要不起", "过"},
    {"1SCORE", "一分", "叫一分"},
    {"2SCORE0", "两分", "叫两分"},
    {"3SCORE0", "三分", "我叫三分"},
    {"0SCORE0", "不叫", nullptr},
    {"0SCORE1", "我不叫", "不叫了"},
    {"JiaBang0", "加棒", nullptr},
    {"FanBang0", "反棒", nullptr},
    {"FanBang1", "我反棒", "反棒，来吧"},
    {"GenBang0", "跟棒", nullptr},
    {"GenBang1", "我也跟", "跟了"},
    {"danger0", "我只剩几张牌了", nullptr},
    {"danger1", "小心，我就剩几张牌了", "注意了，我快出完了"},
};

Job VoiceJob(const Speaker& speaker, const std::string& name, const std::string& text)
{
    Job job;
    job.path = "Telvo/Sound/" + speaker.folder + speaker.letter + '_' + name + ".mp3";
    job.commands.push_back({"espeak-ng", "-b", "1", "-v", std::string("cmn-latn-pinyin+") + speaker.variant, "-p",
                            std::to_string(speaker.pitch), "-s", std::to_string(speaker.speed), "-w", "{work}/said.wav", text});
    // Every line starts at once and is equally loud, whoever speaks it; a short tail lets the
    // decoder's fade end in silence.
    job.commands.push_back({"sox", "-R", "-V1", "{work}/said.wav", "{work}/voice.wav", "silence", "1", "0.01", "0.5%", "gain",
                            "-n", "-1", "pad", "0.02", "0.08"});
    job.commands.push_back(EncodeMp3("voice.wav", 48));
    return job;
}

void AddLines(std::vector<Job>& jobs, const Speaker& speaker, const Line* lines, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Line& line = lines[i];
        jobs.push_back(VoiceJob(speaker, line.name, speaker.lively && line.livelyText ? line.livelyText : line.text));
    }
}

// The same line under the sound root, where a player of neither voice set hears it.
std::string RootName(const std::string& path)
{
    return "Telvo/Sound/" + path.substr(path.rfind('/') + 1);
}

} // namespace

std::vector<Job> VoiceJobs()
{
    // Standard: a calm pair. Quenlo: a higher, quicker pair with other words for the same calls.
    const Speaker speakers[] = {
        {"Standard/", 'M', "m3", 42, 160, false},
        {"Standard/", 'N', "f2", 62, 160, false},
        {"Quenlo/", 'M', "m7", 36, 185, true},
        {"Quenlo/", 'N', "f4", 72, 185, true},
    };
    std::vector<Job> jobs;
    for (const Speaker& speaker : speakers) {
        const std::size_t firstEvent = jobs.size();
        AddLines(jobs, speaker, kEventLines, std::size(kEventLines));
        // Players of neither set hear their plays in Standard, so their other lines are Standard's.
        if (speaker.folder == "Standard/") {
            for (std::size_t i = firstEvent; i < jobs.size(); ++i)
                jobs[i].copies.push_back(RootName(jobs[i].path));
        }
        for (int rank = kFirstRank; rank < kFirstRank + static_cast<int>(std::size(kRankWords)); ++rank) {
            const std::string word = kRankWords[rank - kFirstRank];
            jobs.push_back(VoiceJob(speaker, std::to_string(rank), word));
            if (rank <= kLastPairRank)
                jobs.push_back(VoiceJob(speaker, "2_" + std::to_string(rank), "对" + word));
        }
        AddLines(jobs, speaker, kPlayLines, std::size(kPlayLines));
    }
    return jobs;
}

} // namespace sound
