#include "layer_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string_view>
#include <tuple>

namespace brenvik::test {
namespace {

namespace fs = std::filesystem;

// In layer order, so a room's permissions read from the bottom of the house upward.
enum class Room : unsigned {
    kLink,
    kMultiviewerCore,
    kMatrixCore,
    kRes,
    kControls,
    kMultiviewerPages,
    kMultiviewerUi,
    kMatrixUi,
    kApp,
    kSim,
    kCtl,
    kFree,
};

using RoomSet = std::uint32_t;

template <typename... Rooms> constexpr RoomSet Set(Rooms... rooms) {
    return (RoomSet{0} | ... | (RoomSet{1} << static_cast<unsigned>(rooms)));
}

constexpr RoomSet kEveryRoom = ~RoomSet{0};

struct RoomRule {
    Room room;
    std::string_view name;
    RoomSet mayInclude; // besides the room itself
    bool qtFree;
};

// Indexed by Room.
constexpr std::array kRules{
    RoomRule{Room::kLink, "link", Set(), true},
    RoomRule{Room::kMultiviewerCore, "multiviewer_core", Set(Room::kLink), true},
    RoomRule{Room::kMatrixCore, "matrix_core", Set(Room::kLink), true},
    RoomRule{Room::kRes, "res", Set(Room::kLink, Room::kMultiviewerCore, Room::kMatrixCore), false},
    RoomRule{Room::kControls, "controls",
             Set(Room::kLink, Room::kMultiviewerCore, Room::kMatrixCore, Room::kRes), false},
    RoomRule{Room::kMultiviewerPages, "multiviewer_pages",
             Set(Room::kLink, Room::kMultiviewerCore, Room::kRes, Room::kControls), false},
    RoomRule{Room::kMultiviewerUi, "multiviewer_ui",
             Set(Room::kLink, Room::kMultiviewerCore, Room::kRes, Room::kControls, Room::kMultiviewerPages),
             false},
    RoomRule{Room::kMatrixUi, "matrix_ui", Set(Room::kLink, Room::kMatrixCore, Room::kRes, Room::kControls),
             false},
    RoomRule{Room::kApp, "app",
             Set(Room::kLink, Room::kMultiviewerCore, Room::kMatrixCore, Room::kRes, Room::kControls,
                 Room::kMultiviewerPages, Room::kMultiviewerUi, Room::kMatrixUi),
             false},
    RoomRule{Room::kSim, "sim", Set(Room::kLink, Room::kMultiviewerCore, Room::kMatrixCore), true},
    RoomRule{Room::kCtl, "ctl", Set(Room::kLink, Room::kMultiviewerCore, Room::kMatrixCore), true},
    RoomRule{Room::kFree, "free", kEveryRoom, false},
};

static_assert([] {
    for (std::size_t index = 0; index < kRules.size(); ++index) {
        if (static_cast<std::size_t>(kRules[index].room) != index) {
            return false;
        }
    }
    return true;
}());

struct RoomFolder {
    std::string_view folder;
    Room room;
};

// The first folder that a path starts with names its room, so the pages come before the rest
// of the multiviewer's UI. Paths outside every folder belong to no room and are not checked.
constexpr std::array kFolders{
    RoomFolder{"link/", Room::kLink},
    RoomFolder{"multiviewer/core/", Room::kMultiviewerCore},
    RoomFolder{"multiviewer/ui/pages/", Room::kMultiviewerPages},
    RoomFolder{"multiviewer/ui/", Room::kMultiviewerUi},
    RoomFolder{"matrix/core/", Room::kMatrixCore},
    RoomFolder{"matrix/ui/", Room::kMatrixUi},
    RoomFolder{"controls/", Room::kControls},
    RoomFolder{"res/", Room::kRes},
    RoomFolder{"app/", Room::kApp},
    RoomFolder{"sim/", Room::kSim},
    RoomFolder{"ctl/", Room::kCtl},
    RoomFolder{"tests/", Room::kFree},
    RoomFolder{"bench/", Room::kFree},
    RoomFolder{"tools/", Room::kFree},
    RoomFolder{"fuzz/", Room::kFree},
};

struct FileException {
    std::string_view file;
    RoomSet alsoMayInclude;
};

// The demo program runs the console against simulated units; the product's own sources never
// reach the simulator.
constexpr std::array kExceptions{
    FileException{"app/demo_main.cpp", Set(Room::kSim)},
};

constexpr std::array<std::string_view, 3> kSourceExtensions{".h", ".hpp", ".cpp"};

const RoomRule& RuleOf(Room room) {
    return kRules[static_cast<std::size_t>(room)];
}

std::optional<Room> RoomOf(std::string_view relative) {
    const auto found = std::find_if(kFolders.begin(), kFolders.end(), [relative](const RoomFolder& entry) {
        return relative.starts_with(entry.folder);
    });
    return found == kFolders.end() ? std::nullopt : std::optional<Room>(found->room);
}

RoomSet ExceptionsFor(std::string_view relative) {
    RoomSet extra = 0;
    for (const FileException& exception : kExceptions) {
        if (exception.file == relative) {
            extra |= exception.alsoMayInclude;
        }
    }
    return extra;
}

std::string Permission(const RoomRule& rule) {
    std::string rooms;
    for (const RoomRule& other : kRules) {
        if (other.room != rule.room && (rule.mayInclude & Set(other.room)) != 0) {
            rooms += (rooms.empty() ? "" : ", ") + std::string(other.name);
        }
    }
    return std::string(rule.name) +
           (rooms.empty() ? " may include no other room" : " may include only " + rooms);
}

struct IncludeLine {
    char opener; // '"' or '<'
    std::string name;
};

std::optional<IncludeLine> ParseInclude(std::string_view line) {
    const auto skipBlanks = [&line] {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
    };
    skipBlanks();
    if (!line.starts_with('#')) {
        return std::nullopt;
    }
    line.remove_prefix(1);
    skipBlanks();
    constexpr std::string_view kDirective = "include";
    if (!line.starts_with(kDirective)) {
        return std::nullopt;
    }
    line.remove_prefix(kDirective.size());
    skipBlanks();
    if (line.empty() || (line.front() != '"' && line.front() != '<')) {
        return std::nullopt;
    }
    const char opener = line.front();
    const auto end = line.find(opener == '"' ? '"' : '>', 1);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return IncludeLine{opener, std::string(line.substr(1, end - 1))};
}

// The tree-relative path a quoted include names: beside the includer first, then from the root.
// Nothing when it names no file of the tree (a system or generated header).
std::optional<std::string> ResolveInTree(const fs::path& root, const fs::path& includerFolder,
                                         const std::string& name) {
    for (const fs::path& base : {includerFolder, root}) {
        const fs::path candidate = (base / name).lexically_normal();
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) {
            const fs::path relative = candidate.lexically_relative(root);
            if (relative.empty() || *relative.begin() == "..") {
                return std::nullopt;
            }
            return relative.generic_string();
        }
    }
    return std::nullopt;
}

bool IsSource(const fs::path& file) {
    const std::string extension = file.extension().string();
    return std::find(kSourceExtensions.begin(), kSourceExtensions.end(), extension) !=
           kSourceExtensions.end();
}

std::vector<fs::path> SourceFiles(const fs::path& root) {
    std::vector<fs::path> files;
    for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator();
         ++entry) {
        const std::string name = entry->path().filename().string();
        if (entry->is_directory()) {
            // Build trees hold generated sources and copies of ours; hidden folders hold none.
            if (name.starts_with('.') || name.starts_with("build")) {
                entry.disable_recursion_pending();
            }
        } else if (entry->is_regular_file() && IsSource(entry->path())) {
            files.push_back(entry->path());
        }
    }
    return files;
}

void CheckFile(const fs::path& root, const fs::path& file, std::vector<LayerViolation>& violations) {
    const std::string relative = file.lexically_relative(root).generic_string();
    const auto room = RoomOf(relative);
    if (!room) {
        return;
    }
    const RoomRule& rule = RuleOf(*room);
    const RoomSet allowed = rule.mayInclude | Set(*room) | ExceptionsFor(relative);
    const auto report = [&](int line, const std::string& what) {
        violations.push_back({relative, line, relative + ":" + std::to_string(line) + ": " + what});
    };

    std::ifstream in(file);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        const auto include = ParseInclude(text);
        if (!include) {
            continue;
        }
        if (include->opener == '<') {
            if (rule.qtFree && include->name.starts_with('Q')) {
                report(line,
                       "includes <" + include->name + ">; " + std::string(rule.name) + " never includes Qt");
            }
            continue;
        }
        const auto target = ResolveInTree(root, file.parent_path(), include->name);
        const auto targetRoom = target ? RoomOf(*target) : std::nullopt;
        if (targetRoom && (allowed & Set(*targetRoom)) == 0) {
            report(line, "includes \"" + include->name + "\" (" + std::string(RuleOf(*targetRoom).name) +
                             "); " + Permission(rule));
        }
    }
}

} // namespace

std::vector<LayerViolation> CheckLayers(const std::filesystem::path& root) {
    const fs::path tree = fs::canonical(root);
    std::vector<LayerViolation> violations;
    for (const fs::path& file : SourceFiles(tree)) {
        CheckFile(tree, file, violations);
    }
    std::sort(violations.begin(), violations.end(), [](const LayerViolation& a, const LayerViolation& b) {
        return std::tie(a.file, a.line) < std::tie(b.file, b.line);
    });
    return violations;
}

} // namespace brenvik::test
