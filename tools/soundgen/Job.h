#pragma once

// One sound file of the game and the commands that make it. Commands run without a shell, one
// after another; in their arguments "{work}" names a folder of the job's own for intermediate
// files and "{out}" the finished file, so jobs never share a file and can run side by side.

#include <string>
#include <vector>

namespace sound {

using Command = std::vector<std::string>;

struct Job {
    std::string path; // relative to the data folder, '/'-separated, in the game's spelling
    std::vector<Command> commands;
    // Further names of the same sound, copied from the finished file.
    std::vector<std::string> copies;
};

// The external programs the jobs call, with the Debian package of each.
struct Tool {
    const char* program;
    const char* package;
};
inline constexpr Tool kTools[] = {{"espeak-ng", "espeak-ng"}, {"lame", "lame"}, {"sox", "sox"}};

// Encodes {work}/NAME as the finished MP3. Constant bit rate and no replay-gain analysis keep the
// output a function of the samples alone.
Command EncodeMp3(const std::string& wav, int kbps);

} // namespace sound
