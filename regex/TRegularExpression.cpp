#include "regex/TRegularExpression.h"

namespace zb {

TRegularExpression::TRegularExpression() {
    RegExpCache.emplace_back(std::string(), nullptr);
    CurrentIndex = 0;
    // The empty expression has no anchors, so the marker codes of a derived class (not yet in
    // force while this constructor runs) cannot change what is compiled here.
    Translate(RegExpCache[CurrentIndex].first);
}

void TRegularExpression::SetRegExp(const std::string& Str) {
    PreProcessor.SetTargetRegExpStr(Str);
    PreProcessor.Run();
    const std::string processed = PreProcessor.ProcessedRegExpStr;
    try {
        std::size_t found = RegExpCache.size();
        for (std::size_t i = 0; i < RegExpCache.size(); ++i) {
            if (RegExpCache[i].first == processed) {
                found = i;
                break;
            }
        }
        if (found < RegExpCache.size()) {
            CurrentIndex = found;
        } else {
            if (static_cast<int>(RegExpCache.size()) >= RegExpCacheMax) RegExpCache.pop_back();
            RegExpCache.emplace(RegExpCache.begin() + 1, processed, nullptr);
            CurrentIndex = 1;
            Translate(RegExpCache[CurrentIndex].first);
        }
        RegExpSource = Str;
    } catch (...) {
        CurrentIndex = 0;
        RegExpSource.clear();
        throw;
    }
}

void TRegularExpression::Translate(const std::string& ProcessedStr) {
    try {
        TREParser parser(ProcessedStr);
        parser.Run();
        TRE_NFA nfa(&parser, GetLineHeadWChar(), GetLineTailWChar());
        nfa.Run();
        auto dfa = std::make_shared<TRE_DFA>(&nfa);
        dfa->Run();
        dfa->NFA = nullptr;  // the NFA ends with this call
        RegExpCache[CurrentIndex].second = std::move(dfa);
    } catch (...) {
        RegExpCache.erase(RegExpCache.begin() + static_cast<std::ptrdiff_t>(CurrentIndex));
        CurrentIndex = 0;
        throw;
    }
}

void TRegularExpression::SetUseSynonymDic(bool value) {
    PreProcessor.UseSynonymDic = value;
    SetRegExp(RegExpSource);
}

void TRegularExpression::SetUseFuzzyCharDic(bool value) {
    PreProcessor.UseFuzzyCharDic = value;
    SetRegExp(RegExpSource);
}

}  // namespace zb
