#pragma once

#include "Job.h"

#include <vector>

namespace sound {

// Every voice line: the plays in the two voice-set folders, and the pass, bid, bang and
// low-cards lines in those folders and directly under the sound root, each for a male ('M')
// and a female ('N') speaker.
std::vector<Job> VoiceJobs();

} // namespace sound
