#include "regex/TGrep.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "regex/GrepErrors.h"
#include "regex/GrepFinders.h"
#include "regex/REDictionary.h"

namespace zb {

namespace {

// (file offset, DFA state) pairs from which an attempt is known to fail.
class FailedAttempts {
public:
    static std::uint64_t Key(long long offset, int state) {
        return static_cast<std::uint64_t>(offset + 1) << 20 ^ static_cast<std::uint64_t>(state);
    }
    bool Contains(std::uint64_t key) const { return !keys_.empty() && keys_.count(key) != 0; }
    void Add(const std::vector<std::uint64_t>& keys, long long baseOffset) {
        keys_.insert(keys.begin(), keys.end());
        if (keys_.size() > limit_) {
            // Pairs behind the base can no longer be reached: drop them.
            const std::uint64_t floor = Key(baseOffset, 0) & ~std::uint64_t{0xFFFFF};
            for (auto it = keys_.begin(); it != keys_.end();) {
                it = (*it < floor) ? keys_.erase(it) : std::next(it);
            }
            limit_ = std::max<std::size_t>(1 << 16, 2 * keys_.size());
        }
    }

private:
    std::unordered_set<std::uint64_t> keys_;
    std::size_t limit_ = 1 << 16;
};

}  // namespace

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
    // OnMatch may set another expression, which can evict this DFA from the cache: the search
    // holds it and finishes with the expression it started with.
    const std::shared_ptr<const TRE_DFA> dfa = ShareCurrentDFA();
    const RE_DFAState_t* initial = dfa->pInitialDFAState;
    std::unique_ptr<TTxtFile> file;
    try {
        file = std::make_unique<TTxtFile>(FileName, Cancel);
    } catch (const EEndOfFile&) {
        return;  // an empty file
    }
    const std::unique_ptr<TxtCandidateFinder> finder =
        UseFastScan ? MakeDFAFinder(initial) : nullptr;
    // Attempts that run long and fail are remembered by (file offset, state) from their 256th step
    // on: a later attempt that reaches a remembered pair would read the same text from the same
    // state and fail the same way, so it stops there. Overlapping long attempts (".*" in a long
    // line) then cost linear instead of quadratic time; the lines reported are the same.
    constexpr int kRemember = 256;
    FailedAttempts failed;
    std::vector<std::uint64_t> path;
    try {
        for (;;) {
            if (finder) file->SkipToCandidate(*finder);
            const RE_DFAState_t* s = NextDFAState(initial, file->AdvanceBase());
            int steps = 0;
            path.clear();
            while (s != nullptr) {
                if (s->Accepted) {
                    report(*file);
                    break;
                }
                if (UseFastScan && ++steps > kRemember) {
                    const std::uint64_t key = FailedAttempts::Key(file->ReadOffset(), s->Number);
                    if (failed.Contains(key)) {
                        s = nullptr;
                        break;
                    }
                    path.push_back(key);
                }
                // The reader returns 0 for ever at the end of the file: never step on it.
                const WChar_t ch = file->GetWChar();
                s = ch == 0 ? nullptr : NextDFAState(s, ch);
            }
            if (s == nullptr && !path.empty()) failed.Add(path, file->BaseOffset());
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
