#include "Synth.h"

#include <cstdio>
#include <sstream>

namespace sound {

namespace {

// A bar of eight eighth notes on plucked strings: the bass on beats one and three, the chord
// broken in eighths above it, and the tune on top ('.' rests).
struct Bar {
    const char* bass;
    const char* chord; // four tones, low to high
    const char* tune;  // eight slots
};

struct Piece {
    const char* name;
    double eighth; // seconds
    std::vector<Bar> bars;
};

// Two tunes of our own on the pentatonic scale, the colour of Chinese folk music: the first calm
// in C, the second brisker in G.
const Piece kPieces[] = {
    {"bgsound0.mp3",
     0.3,
     {{"C3", "G3 C4 E4 G4", "E5 . G5 . A5 G5 E5 ."},
      {"A2", "E3 A3 C4 E4", "C5 . D5 E5 . . . ."},
      {"F2", "C3 F3 A3 C4", "A4 . C5 . D5 C5 A4 ."},
      {"G2", "D3 G3 B3 D4", "G4 . A4 C5 D5 . . ."},
      {"C3", "G3 C4 E4 G4", "E5 . G5 . A5 . C6 ."},
      {"A2", "E3 A3 C4 E4", "A5 G5 E5 . D5 . . ."},
      {"F2", "C3 F3 A3 C4", "C5 . D5 . E5 G5 E5 D5"},
      {"G2", "D3 G3 B3 D4", "C5 . . . . . . ."}}},
    {"bgsound1.mp3",
     0.25,
     {{"G2", "D3 G3 B3 D4", "D5 . B4 D5 E5 . D5 ."},
      {"E2", "B2 E3 G3 B3", "B4 . A4 G4 . . E4 ."},
      {"C3", "G3 C4 E4 G4", "G4 . A4 B4 D5 . E5 ."},
      {"D3", "A3 D4 F#4 A4", "D5 B4 A4 . . . . ."},
      {"G2", "D3 G3 B3 D4", "G5 . E5 D5 E5 . G5 ."},
      {"E2", "B2 E3 G3 B3", "E5 D5 B4 . A4 . B4 ."},
      {"C3", "G3 C4 E4 G4", "D5 . E5 D5 B4 . A4 ."},
      {"D3", "A3 D4 F#4 A4", "G4 . . . . . . ."}}},
};

// The order in which the chord's tones are broken across the eight eighths.
constexpr int kBroken[8] = {0, 1, 2, 3, 2, 1, 2, 1};
// Each note rings this long; a bar's last notes ring on into the next.
constexpr double kRing = 2.5;

std::string Seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// One bar as a sox chain: a tone a channel, each delayed to its eighth, and the whole bar shifted
// to its place in the piece so that the bars can be mixed rather than joined end to end.
std::string BarChain(const Bar& bar, double eighth, double start)
{
    std::istringstream chordWords(bar.chord), tuneWords(bar.tune);
    std::vector<std::string> chord, tune;
    for (std::string word; chordWords >> word;)
        chord.push_back(word);
    for (std::string word; tuneWords >> word;)
        tune.push_back(word);

    std::string tones, delays;
    const auto add = [&](const std::string& note, int slot) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on " " + a temporary.
        tones += " pl ";
        tones += note;
        delays += ' ';
        delays += Seconds(slot * eighth);
    };
    add(bar.bass, 0);
    add(bar.bass, 4);
    for (int slot = 0; slot < 8; ++slot) {
        add(chord.at(kBroken[slot]), slot);
        if (slot < static_cast<int>(tune.size()) && tune[slot] != ".")
            add(tune[slot], slot);
    }
    return "synth " + Seconds(kRing) + tones + " delay" + delays + " pad " + Seconds(start);
}

} // namespace

std::vector<Job> MusicJobs()
{
    std::vector<Job> jobs;
    for (const Piece& piece : kPieces) {
        Job job;
        job.path = std::string("Telvo/Sound/") + piece.name;
        const double barLength = 8 * piece.eighth;
        const double length = barLength * static_cast<double>(piece.bars.size()) + kRing;
        // Each bar is rendered alone (tones a channel, mixed down), then all are mixed at once.
        Command mix = {"sox", "-R", "-V1", "-m"};
        for (std::size_t i = 0; i < piece.bars.size(); ++i) {
            const std::string file = "{work}/bar" + std::to_string(i) + ".wav";
            job.commands.push_back(Render(file, BarChain(piece.bars[i], piece.eighth, barLength * static_cast<double>(i))));
            mix.insert(mix.end(), {"-v", "1", file});
        }
        mix.push_back("{work}/whole.wav");
        for (std::string& arg : Chain("reverb 35 50 80 trim 0 " + Seconds(length) + " fade 0 " + Seconds(length) + " 1.5 gain -n -4"))
            mix.push_back(std::move(arg));
        job.commands.push_back(std::move(mix));
        job.commands.push_back(EncodeMp3("whole.wav", 64));
        jobs.push_back(std::move(job));
    }
    return jobs;
}

} // namespace sound
