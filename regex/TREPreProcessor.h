#pragma once
// Rewrites an expression before parsing so that a run of plain characters also matches its
// equivalents: each piece of the run found in a dictionary group becomes a parenthesised
// alternation of the whole group. Synonym dictionaries run first, then fuzzy-character ones.

#include <string>
#include <vector>

#include "regex/REDictionary.h"
#include "regex/TREScanner.h"

namespace zb {

struct RETokenInfo_t {
    REToken_t Token;
    RESymbol_t Symbol;
    int FromIndex;  // where the token's text begins in the scanned string
    int ToIndex;    // just after it
};

class TREPreProcessor;
using TREPreProcessorFindFunc = int (TREPreProcessor::*)(int FromTokenIndex, int ToTokenIndex);

class TREPreProcessor {
public:
    explicit TREPreProcessor(const std::string& regExpStr) : Scanner(regExpStr) {}

    const std::string& TargetRegExpStr() const { return Scanner.RegExpStr; }
    void SetTargetRegExpStr(const std::string& s) { Scanner.SetRegExpStr(s); }

    void Run();
    void Process(TREPreProcessorFindFunc FindFunc);
    void MakeTokenList();
    void DestroyTokenListItems() { TokenList.clear(); }
    int FindSynonym(int FromTokenIndex, int ToTokenIndex);
    int FindFuzzyWChar(int FromTokenIndex, int ToTokenIndex);
    int ReferToOneList(int FromTokenIndex, int ToTokenIndex, const REDictionary& dic);

    TREScanner Scanner;
    std::string ProcessedRegExpStr;
    // Dictionaries are not owned: whoever adds one keeps it alive.
    std::vector<const REDictionary*> ListOfSynonymDic;
    std::vector<const REDictionary*> ListOfFuzzyCharDic;
    std::vector<RETokenInfo_t> TokenList;
    std::string SubstitutionStr;
    bool UseFuzzyCharDic = false;
    bool UseSynonymDic = false;

private:
    std::string tokenText(const RETokenInfo_t& t) const;
};

}  // namespace zb
