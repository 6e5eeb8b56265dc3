#pragma once
// Owns a compiled regular expression and its compilation pipeline (preprocessor, parser, NFA,
// DFA), with a cache of up to 30 compiled expressions keyed by their preprocessed text.
// Matchers and grep derive from it.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "regex/TREPreProcessor.h"
#include "regex/TRE_DFA.h"

namespace zb {

class TRegularExpression {
public:
    TRegularExpression();
    virtual ~TRegularExpression() = default;
    TRegularExpression(const TRegularExpression&) = delete;
    TRegularExpression& operator=(const TRegularExpression&) = delete;

    // Makes the expression current: preprocess, then take it from the cache or compile it.
    virtual void SetRegExp(const std::string& Str);
    // Compiles a preprocessed expression into the cache entry at CurrentIndex.
    virtual void Translate(const std::string& ProcessedStr);
    virtual WChar_t GetLineHeadWChar() const { return WCHAR_LINE_HEAD; }
    virtual WChar_t GetLineTailWChar() const { return WCHAR_LINE_TAIL; }

    // One DFA step: the successor of State on Code, or nullptr.
    static RE_DFAState_t* NextDFAState(const RE_DFAState_t* State, WChar_t Code) {
        for (const RE_DFAStateSub_t& t : State->Next) {
            if (Code < t.CharClass.StartChar) return nullptr;
            if (Code <= t.CharClass.EndChar) return t.TransitTo;
        }
        return nullptr;
    }

    const std::string& RegExp() const { return RegExpSource; }
    const std::string& GetProcessedRegExp() const { return RegExpCache[CurrentIndex].first; }
    TRE_DFA* GetCurrentDFA() const { return RegExpCache[CurrentIndex].second.get(); }
    // The current DFA, kept alive for as long as the caller holds it: a walk that can run
    // code which sets another expression (and so may evict this one from the cache) holds it.
    std::shared_ptr<const TRE_DFA> ShareCurrentDFA() const {
        return RegExpCache[CurrentIndex].second;
    }
    RE_DFAState_t* GetpInitialDFAState() const { return GetCurrentDFA()->pInitialDFAState; }
    bool GetRegExpIsSimple() const { return GetCurrentDFA()->RegExpIsSimple; }
    const std::string& GetSimpleRegExp() const { return GetCurrentDFA()->SimpleRegExp; }
    bool GetHasLHead() const { return GetCurrentDFA()->HasLHead; }
    bool GetHasLTail() const { return GetCurrentDFA()->HasLTail; }
    WChar_t LineHeadWChar() const { return GetLineHeadWChar(); }
    WChar_t LineTailWChar() const { return GetLineTailWChar(); }

    std::vector<const REDictionary*>& ListOfSynonymDic() { return PreProcessor.ListOfSynonymDic; }
    std::vector<const REDictionary*>& ListOfFuzzyCharDic() {
        return PreProcessor.ListOfFuzzyCharDic;
    }
    bool UseSynonymDic() const { return PreProcessor.UseSynonymDic; }
    bool UseFuzzyCharDic() const { return PreProcessor.UseFuzzyCharDic; }
    // Store the switch, then preprocess (and if needed compile) the current expression again.
    void SetUseSynonymDic(bool value);
    void SetUseFuzzyCharDic(bool value);

    // A cached DFA is shared with the searches that walk it (see ShareCurrentDFA).
    using CacheEntry = std::pair<std::string, std::shared_ptr<TRE_DFA>>;

    std::string RegExpSource;
    std::vector<CacheEntry> RegExpCache;
    int RegExpCacheMax = 30;
    std::size_t CurrentIndex = 0;
    TREPreProcessor PreProcessor{""};
};

}  // namespace zb
