#pragma once

// The list of every picture the game loads: where it goes under the data folder, its exact size,
// and how it is drawn. Readers cut these pictures by fixed cells, rows and pieces, so the sizes
// here are a contract with the game code; change them only together with the code that cuts them.

#include <QImage>

#include <functional>
#include <string>
#include <vector>

namespace art {

struct Picture {
    std::string path;   // relative to the data folder, '/'-separated, in the game's spelling
    int width = 0;
    int height = 0;
    std::function<QImage()> paint;
};

std::vector<Picture> BuildCatalog();

} // namespace art
