#pragma once

// Sounds synthesised by sox from recipes: a recipe is a list of parts, each a sox effect chain
// that starts from silence ("synth ..."); the parts are played one after the other and the
// finishing chain is applied to the whole.

#include "Job.h"

#include <string>
#include <vector>

namespace sound {

// All synthesised sounds are mono at this rate (the lowest sox plucks strings at); SDL converts on
// playback.
inline constexpr const char* kSampleRate = "44100";

// Splits a chain written as one line ("synth 0.2 pluck C5 fade 0 0.2 0.1") into arguments.
std::vector<std::string> Chain(const std::string& line);

// One sox run that renders a chain starting from silence into a mono file.
Command Render(const std::string& file, const std::string& chain);

// A job that renders the parts and the finish into `target`: one sox run per part, then one that
// joins them. The caller appends the encoding step, or names "{out}" as the target (with sox's
// output options before it, "-b 16 {out}") when the game reads the WAV itself.
Job SynthJob(const std::string& path, const std::vector<std::string>& parts, const std::string& finish,
             const std::string& target = "{work}/whole.wav");

// Every effect sound: plays, bombs, rocket, plane, dealing, warning, game start and end, the
// landlord's smoke, spring, and the result window's coins, bomb and fireworks.
std::vector<Job> EffectJobs();

// The two looping background pieces.
std::vector<Job> MusicJobs();

} // namespace sound
