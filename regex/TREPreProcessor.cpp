#include "regex/TREPreProcessor.h"

namespace zb {

void TREPreProcessor::Run() {
    ProcessedRegExpStr = TargetRegExpStr();
    if (UseSynonymDic) {
        Process(&TREPreProcessor::FindSynonym);
        Scanner.SetRegExpStr(ProcessedRegExpStr);
    }
    if (UseFuzzyCharDic) Process(&TREPreProcessor::FindFuzzyWChar);
}

void TREPreProcessor::MakeTokenList() {
    int p = Scanner.Index;
    DestroyTokenListItems();
    while (Scanner.GetToken() != retk_End) {
        TokenList.push_back({Scanner.Token, Scanner.Symbol, p, Scanner.Index});
        p = Scanner.Index;
    }
    TokenList.push_back({retk_End, RESymbol_t(), 0, 0});
}

std::string TREPreProcessor::tokenText(const RETokenInfo_t& t) const {
    if (t.ToIndex <= t.FromIndex) return {};
    return Scanner.RegExpStr.substr(static_cast<std::size_t>(t.FromIndex - 1),
                                    static_cast<std::size_t>(t.ToIndex - t.FromIndex));
}

void TREPreProcessor::Process(TREPreProcessorFindFunc FindFunc) {
    ProcessedRegExpStr.clear();
    MakeTokenList();
    bool insideClass = false;
    const int count = static_cast<int>(TokenList.size());
    int i = 0;
    while (i < count) {
        const RETokenInfo_t& t = TokenList[static_cast<std::size_t>(i)];
        if (t.Token == retk_LBra || t.Token == retk_LBraNeg) insideClass = true;
        if (t.Token == retk_RBra) insideClass = false;
        if (t.Token != retk_Char || insideClass) {
            ProcessedRegExpStr += tokenText(t);
            ++i;
            continue;
        }
        int j = i;
        while (j < count && TokenList[static_cast<std::size_t>(j)].Token == retk_Char)
            ++j;
        while (i < j) {
            const int k = (this->*FindFunc)(i, j);
            if (k == -1) {
                ProcessedRegExpStr += tokenText(TokenList[static_cast<std::size_t>(i)]);
                ++i;
            } else {
                ProcessedRegExpStr += SubstitutionStr;
                i = k;
            }
        }
    }
}

int TREPreProcessor::FindSynonym(int FromTokenIndex, int ToTokenIndex) {
    for (const REDictionary* dic : ListOfSynonymDic) {
        const int k = ReferToOneList(FromTokenIndex, ToTokenIndex, *dic);
        if (k != -1) return k;
    }
    return -1;
}

int TREPreProcessor::FindFuzzyWChar(int FromTokenIndex, int ToTokenIndex) {
    for (const REDictionary* dic : ListOfFuzzyCharDic) {
        const int k = ReferToOneList(FromTokenIndex, ToTokenIndex, *dic);
        if (k != -1) return k;
    }
    return -1;
}

int TREPreProcessor::ReferToOneList(int FromTokenIndex, int ToTokenIndex, const REDictionary& dic) {
    for (const REDicGroup& group : dic) {
        for (const std::string& entry : group) {
            if (entry.empty()) continue;
            int index = 1;
            int k = FromTokenIndex;
            bool matched = true;
            for (WChar_t ch = GetWChar(entry, index); ch != 0; ch = GetWChar(entry, index)) {
                if (k >= ToTokenIndex ||
                    TokenList[static_cast<std::size_t>(k)].Symbol.WChar != ch) {
                    matched = false;
                    break;
                }
                ++k;
            }
            if (!matched || k == FromTokenIndex) continue;  // an entry of no characters
            SubstitutionStr.assign(1, '(');
            for (std::size_t e = 0; e < group.size(); ++e) {
                if (e > 0) SubstitutionStr += '|';
                SubstitutionStr += QuoteMetaWChar(group[e]);
            }
            SubstitutionStr += ')';
            return k;
        }
    }
    return -1;
}

}  // namespace zb
