#include "Synth.h"

#include <sstream>

namespace sound {

std::vector<std::string> Chain(const std::string& line)
{
    std::istringstream words(line);
    std::vector<std::string> args;
    for (std::string word; words >> word;)
        args.push_back(word);
    return args;
}

Command Render(const std::string& file, const std::string& chain)
{
    // -R seeds the noise generators and dither with a fixed number, so a rebuild writes the same bytes.
    Command render = {"sox", "-R", "-V1", "-r", kSampleRate, "-n", file};
    for (std::string& arg : Chain(chain))
        render.push_back(std::move(arg));
    // Chords are synthesised one tone a channel; every part is mixed down to one.
    render.insert(render.end(), {"channels", "1"});
    return render;
}

Job SynthJob(const std::string& path, const std::vector<std::string>& parts, const std::string& finish, const std::string& target)
{
    Job job;
    job.path = path;
    Command join = {"sox", "-R", "-V1"};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string part = "{work}/part" + std::to_string(i) + ".wav";
        job.commands.push_back(Render(part, parts[i]));
        join.push_back(part);
    }
    for (std::string& arg : Chain(target))
        join.push_back(std::move(arg));
    for (std::string& arg : Chain(finish))
        join.push_back(std::move(arg));
    job.commands.push_back(std::move(join));
    return job;
}

} // namespace sound
