#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brenvik::test {

// One #include that runs against the layer order. `message` is the whole report line,
// "file:line: includes ...; why", with the file relative to the checked root.
struct LayerViolation {
    std::string file;
    int line = 0;
    std::string message;
};

// Reads every .h/.hpp/.cpp file of the rooms below `root` and returns each include that its
// room may not make, sorted by file and line.
std::vector<LayerViolation> CheckLayers(const std::filesystem::path& root);

} // namespace brenvik::test
