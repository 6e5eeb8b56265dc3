// Greps a fuzzed file with a fuzzed expression, once with the fast scan and once with the plain
// loops, and requires the same lines and events from both. Flag bit 0: fuzzy dictionary; bit 1:
// repeat the text until it spans several buffer fills; bit 2: search with the automaton even for
// a simple expression.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "common/Exception.h"
#include "regex/ProcessMessages.h"
#include "regex/TGrep.h"

namespace {

std::vector<std::string> run(zb::TGrep& g, const std::string& path, bool fast, bool byRegExp) {
    std::vector<std::string> events;
    g.UseFastScan = fast;
    g.OnMatch = [&](zb::TGrep&, const zb::RE_LineInfo_t& info) {
        events.push_back(std::to_string(info.LineNo) + ":" + info.Line);
    };
    zb::SetProcessMessagesHook([&] { events.emplace_back("pump"); });
    try {
        if (byRegExp) {
            g.GrepByRegExp(path);
        } else {
            g.Grep(path);
        }
    } catch (const zb::Exception& e) {
        events.push_back(std::string("error ") + e.what());
    }
    zb::SetProcessMessagesHook(nullptr);
    return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zb::fuzz::Input in;
    if (!zb::fuzz::Split(data, size, in)) return 0;
    zb::TGrep g;
    g.PreProcessor.UseFuzzyCharDic = (in.flags & 1) != 0;
    try {
        g.SetRegExp(in.expression);
    } catch (const zb::Exception&) {
        return 0;
    }
    std::string text = in.text;
    if ((in.flags & 2) && !text.empty()) {
        while (text.size() < 230'000)
            text += in.text;
    }
    static const std::string path = "/tmp/zb-grep-fuzz-" + std::to_string(::getpid());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    const bool byRegExp = (in.flags & 4) != 0;
    const auto fast = run(g, path, true, byRegExp);
    // The plain loops restart at every character, which costs line length squared: compare
    // with them only where lines are short enough to keep each input quick.
    // A line end right after a lead-range byte may be read as its trail byte and not end the
    // attempt, so it does not count here.
    std::size_t longest = 0;
    std::size_t current = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool end = (text[i] == '\n' || text[i] == '\r') &&
                         (i == 0 || !zb::IsDBCSLeadByte(static_cast<unsigned char>(text[i - 1])));
        current = end ? 0 : current + 1;
        longest = std::max(longest, current);
    }
    if ((text.size() <= 8192 || longest <= 4096) && run(g, path, false, byRegExp) != fast) {
        std::abort();
    }
    return 0;
}
