// Checks every #include "..." of the project's libraries and programs against the layer table in
// docs/layers.txt, and that the parts marked no-qt include no Qt header.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Part {
    std::string Name;
    std::vector<std::string> Prefixes;
    std::set<std::string> MayInclude;
    bool QtAllowed = false;
};

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty() && item != "-") items.push_back(item);
    return items;
}

std::vector<Part> ReadLayerTable(const fs::path& file) {
    std::ifstream in(file);
    std::vector<Part> parts;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, paths, includes, qt;
        fields >> name >> paths >> includes >> qt;
        Part part{name, SplitCommas(paths), {}, qt == "qt"};
        for (const auto& item : SplitCommas(includes))
            part.MayInclude.insert(item);
        parts.push_back(std::move(part));
    }
    return parts;
}

// The part a project path ("app/SearchSession.cpp") belongs to: the longest matching prefix.
const Part* PartOf(const std::vector<Part>& parts, const std::string& path) {
    const Part* best = nullptr;
    size_t bestLength = 0;
    for (const auto& part : parts)
        for (const auto& prefix : part.Prefixes)
            if (path.compare(0, prefix.size(), prefix) == 0 && prefix.size() > bestLength) {
                best = &part;
                bestLength = prefix.size();
            }
    return best;
}

struct Violation {
    std::string File, Include, Why;
};

std::vector<Violation> CheckTree(const fs::path& root, const std::vector<Part>& parts) {
    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Violation> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp") continue;
        const std::string path = fs::relative(entry.path(), root).generic_string();
        const Part* from = PartOf(parts, path);
        if (!from) continue;  // tests, benchmarks, build folders: free to use everything
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            if (!std::regex_search(line, m, includeLine)) continue;
            const std::string target = m[2];
            if (m[1] == "<") {
                if (!from->QtAllowed && target.size() > 1 && target[0] == 'Q' &&
                    std::isupper(static_cast<unsigned char>(target[1])))
                    found.push_back({path, target, from->Name + " uses no Qt"});
                continue;
            }
            const Part* to = PartOf(parts, target);
            if (!to) {
                if (target.find('/') != std::string::npos && fs::exists(root / target))
                    found.push_back({path, target, "a part outside the table"});
                continue;  // a header beside the file
            }
            if (to != from && !from->MayInclude.count(to->Name))
                found.push_back({path, target, from->Name + " may not include " + to->Name});
        }
    }
    return found;
}

}  // namespace

TEST(Layering, EveryIncludePointsDownTheLayerTable) {
    const fs::path root = ZB_SOURCE_DIR;
    const auto parts = ReadLayerTable(root / "docs/layers.txt");
    ASSERT_GE(parts.size(), 8u) << "docs/layers.txt unreadable";
    for (const auto& part : parts)
        for (const auto& prefix : part.Prefixes)
            EXPECT_TRUE(fs::exists(root / prefix) || fs::exists(root / (prefix + ".h")) ||
                        fs::exists(root / (prefix + ".cpp")))
                << part.Name << ": no such path " << prefix;
    for (const auto& v : CheckTree(root, parts))
        ADD_FAILURE() << v.File << " includes " << v.Include << ": " << v.Why;
}

TEST(Layering, TheCheckSeesAWrongEdge) {
    const fs::path root = fs::temp_directory_path() / "zb-layering-check";
    fs::remove_all(root);
    fs::create_directories(root / "low");
    fs::create_directories(root / "high");
    std::ofstream(root / "low/A.h") << "#include \"high/B.h\"\n#include <QString>\n";
    std::ofstream(root / "high/B.h") << "#include \"low/A.h\"\n";
    const std::vector<Part> parts{{"low", {"low/"}, {}, false}, {"high", {"high/"}, {"low"}, true}};
    const auto found = CheckTree(root, parts);
    fs::remove_all(root);
    ASSERT_EQ(found.size(), 2u);
    std::set<std::string> why{found[0].Why, found[1].Why};
    EXPECT_TRUE(why.count("low may not include high"));
    EXPECT_TRUE(why.count("low uses no Qt"));
}
