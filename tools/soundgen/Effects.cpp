#include "Synth.h"

namespace sound {

namespace {

struct Effect {
    const char* name; // below "Telvo/Sound/"
    std::vector<std::string> parts;
    std::string finish;
};

// Recipes. Card sounds are filtered noise bursts; explosions are brown noise over a falling low
// tone; tunes are plucked strings, one tone a channel, staggered by "delay".
const std::vector<Effect>& Effects()
{
    static const std::vector<Effect> effects = {
        // A card laid on the table: a short bright slap with a soft knock under it.
        {"OUT_CARD.mp3", {"synth 0.11 pinknoise synth 0.11 sine mix 170 highpass 300 fade q 0.002 0.11 0.09"}, "gain -n -3"},
        {"BOMB_CARD.mp3",
         {"synth 1.6 brownnoise synth 1.6 sine mix 70-28 lowpass 1100 overdrive 12 fade q 0.005 1.6 1.35"},
         "reverb 40 gain -n -1"},
        // The rocket climbs with a rising whistle, then bursts.
        {"ROCKET.mp3",
         {"synth 0.7 pinknoise synth 0.7 sawtooth mix 180-1400 lowpass 3000 fade q 0.3 0.7 0.02",
          "synth 1.2 brownnoise synth 1.2 sine mix 90-30 lowpass 1400 overdrive 10 fade q 0.002 1.2 1.0"},
         "reverb 30 gain -n -1"},
        // An engine passing by: it swells, throbs and falls in pitch as it goes.
        {"PLANE.mp3",
         {"synth 2.0 sawtooth 118-84 synth 2.0 sine amod 22 synth 2.0 brownnoise mix lowpass 1500 fade q 0.6 2.0 0.8"},
         "gain -n -2"},
        {"GAME_START.mp3", {"synth 1.3 pl C5 pl E5 pl G5 pl C6 delay 0 0.08 0.16 0.24 fade 0 1.3 0.4"}, "reverb 25 gain -n -2"},
        // Heard every second of the last ten: short and high, so it cuts through the voices.
        {"GAME_WARN.mp3", {"synth 0.22 sine 1480 synth 0.22 sine mix 2960 fade q 0.004 0.22 0.18"}, "gain -n -5"},
        {"GAME_WIN.mp3",
         {"synth 2.2 pl C5 pl E5 pl G5 pl C6 pl E6 pl G6 pl C7 delay 0 0.11 0.22 0.33 0.5 0.61 0.72 fade 0 2.2 0.6"},
         "reverb 40 gain -n -2"},
        {"GAME_LOSE.mp3", {"synth 2.0 pl G4 pl D#4 pl C4 pl G3 delay 0 0.22 0.44 0.7 fade 0 2.0 0.6"}, "reverb 30 gain -n -3"},
        {"GAME_END.mp3", {"synth 1.4 pl G4 pl C5 pl G4 delay 0 0.18 0.36 fade 0 1.4 0.5"}, "reverb 30 gain -n -3"},
        // The landlord's smoke: a soft puff.
        {"smoke.mp3", {"synth 0.8 pinknoise lowpass 1200 highpass 150 fade q 0.12 0.8 0.55"}, "gain -n -6"},
        {"spring.mp3",
         {"synth 1.8 pl C5 pl D5 pl E5 pl G5 pl A5 pl C6 pl D6 pl E6 pl G6 delay 0 0.05 0.1 0.15 0.2 0.25 0.3 0.35 0.4 "
          "fade 0 1.8 0.6"},
         "reverb 50 gain -n -2"},
        // The result window's coin counter loops this while the balances roll.
        {"coin.mp3", {"synth 0.16 pl E7 pl B7 delay 0 0.035 fade 0 0.16 0.05"}, "gain -n -6"},
        {"bomb.mp3", {"synth 1.0 brownnoise synth 1.0 sine mix 80-35 lowpass 1600 overdrive 8 fade q 0.003 1.0 0.85"},
         "reverb 30 gain -n -2"},
        // A rising whistle and the crackle of the burst.
        {"firework.mp3",
         {"synth 0.6 sine 700-2300 fade q 0.05 0.6 0.05",
          "synth 0.9 whitenoise synth 0.9 square amod 23 highpass 1500 fade q 0.002 0.9 0.8"},
         "reverb 40 gain -n -3"},
    };
    return effects;
}

} // namespace

std::vector<Job> EffectJobs()
{
    std::vector<Job> jobs;
    for (const Effect& effect : Effects()) {
        Job job = SynthJob(std::string("Telvo/Sound/") + effect.name, effect.parts, effect.finish);
        job.commands.push_back(EncodeMp3("whole.wav", 64));
        jobs.push_back(std::move(job));
    }
    // The dealing sound loops for as long as cards fly, one card each 60 ms, so it is exactly
    // eight flicks long and every flick starts at a period boundary: the loop has no seam.
    jobs.push_back(SynthJob("Telvo/Sound/DISPATCH_CARD.wav",
                            {"synth 0.48 pinknoise synth 0.48 exp amod 16.6667 highpass 1800 lowpass 7000"},
                            "gain -n -8", "-b 16 {out}"));
    return jobs;
}

} // namespace sound
