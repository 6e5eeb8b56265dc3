#include "regex/TGrep.h"

#include <vector>

#include "regex/GrepErrors.h"
#include "regex/GrepFinders.h"
#include "regex/REDictionary.h"

namespace zb {

TGrep::TGrep() {
    ListOfFuzzyCharDic().push_back(&RE_FuzzyCharDic());
}

void TGrep::SetRegExp(const std::string& Str) {
    TRegularExpression::SetRegExp(Str);
    GrepProc = GetRegExpIsSimple() ? &TGrep::GrepByStr : &TGrep::GrepByRegExp;
}

void TGrep::report(TTxtFile& file) {
    const RE_LineInfo_t info = file.GetThisLine();
    OnMatch(*this, info);
}

void TGrep::GrepByRegExp(const std::string& FileName) {
    BytesSkipped = 0;
    if (!OnMatch) return;
    Cancel = false;
    const RE_DFAState_t* initial = GetpInitialDFAState();
    std::unique_ptr<TTxtFile> file;
    try {
        file = std::make_unique<TTxtFile>(FileName, Cancel);
    } catch (const EEndOfFile&) {
        return;  // an empty file
    }
    const std::unique_ptr<TxtCandidateFinder> finder =
        UseFastScan ? MakeDFAFinder(initial) : nullptr;
    try {
        for (;;) {
            if (finder) file->SkipToCandidate(*finder);
            const RE_DFAState_t* s = NextDFAState(initial, file->AdvanceBase());
            while (s != nullptr) {
                if (s->Accepted) {
                    report(*file);
                    break;
                }
                // The reader returns 0 for ever at the end of the file: never step on it.
                const WChar_t ch = file->GetWChar();
                s = ch == 0 ? nullptr : NextDFAState(s, ch);
            }
        }
    } catch (const EEndOfFile&) {
    }
    BytesSkipped = file->BytesSkipped();
}

void TGrep::GrepByStr(const std::string& FileName) {
    BytesSkipped = 0;
    Cancel = false;
    const std::string simple = GetSimpleRegExp();
    if (!OnMatch) return;
    std::vector<WChar_t> codes;
    int index = 1;
    for (WChar_t c = zb::GetWChar(simple, index); c != 0; c = zb::GetWChar(simple, index)) {
        codes.push_back(c);
    }
    const std::size_t n = codes.size();
    codes.push_back(0);
    std::unique_ptr<TTxtFile> file;
    try {
        file = std::make_unique<TTxtFile>(FileName, Cancel);
    } catch (const EEndOfFile&) {
        return;
    }
    std::vector<WChar_t> pattern(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(n));
    const std::unique_ptr<TxtCandidateFinder> finder =
        UseFastScan ? MakeLiteralFinder(pattern) : nullptr;
    try {
        for (;;) {
            if (finder) file->SkipToCandidate(*finder);
            if (file->AdvanceBase() != codes[0]) continue;
            for (std::size_t i = 1;; ++i) {
                if (i == n) {
                    report(*file);
                    break;
                }
                if (file->GetWChar() != codes[i]) break;
            }
        }
    } catch (const EEndOfFile&) {
    }
    BytesSkipped = file->BytesSkipped();
}

}  // namespace zb
