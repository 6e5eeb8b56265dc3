// Feeds arbitrary bytes to SetRegExp, with and without the fuzzy-character dictionary (chosen by
// the first byte), and checks the invariants every compiled expression must meet.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "regex/ERegExpParser.h"
#include "regex/REDictionary.h"
#include "regex/TRegularExpression.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkDFA(const zb::TRegularExpression& re) {
    const zb::TRE_DFA* dfa = re.GetCurrentDFA();
    check(dfa != nullptr && dfa->pInitialDFAState != nullptr);
    for (const auto& state : dfa->StateList) {
        for (std::size_t i = 0; i < state->Next.size(); ++i) {
            const auto& t = state->Next[i];
            check(t.CharClass.StartChar <= t.CharClass.EndChar);
            check(t.TransitTo != nullptr);
            if (i > 0) check(t.CharClass.StartChar > state->Next[i - 1].CharClass.EndChar);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool fuzzy = (data[0] & 1) != 0;
    const std::string expr(reinterpret_cast<const char*>(data + 1), size - 1);

    zb::TRegularExpression re;
    re.ListOfFuzzyCharDic().push_back(&zb::RE_FuzzyCharDic());
    re.PreProcessor.UseFuzzyCharDic = fuzzy;
    try {
        re.SetRegExp(expr);
        check(re.RegExp() == expr);
        checkDFA(re);
        re.SetRegExp(expr);  // a cache hit selects the same entry
        check(re.CurrentIndex == 1 || re.GetProcessedRegExp().empty());
    } catch (const zb::ERegExpParser& e) {
        check(re.CurrentIndex == 0 && re.RegExp().empty());
        check(!e.Message.empty());
        checkDFA(re);
    }
    return 0;
}
