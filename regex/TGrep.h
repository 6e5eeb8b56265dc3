#pragma once
// Line search of a text file: raises OnMatch once for every line that contains a match of the
// current expression, in file order. Simple expressions (one fixed string) are searched
// literally (GrepByStr), the others with the DFA (GrepByRegExp). Line anchors compile to LF,
// the character the reader puts at every line end.

#include <functional>
#include <memory>
#include <string>

#include "regex/TRegularExpression.h"
#include "regex/TTxtFile.h"

namespace zb {

class TGrep;
using TGrepOnMatch = std::function<void(TGrep& Sender, const RE_LineInfo_t& LineInfo)>;
using TGrepGrepProc = void (TGrep::*)(const std::string& FileName);

class TGrep : public TRegularExpression {
public:
    // Attaches the engine's fuzzy-character dictionary (used when UseFuzzyCharDic is set).
    TGrep();

    // Compiles, then binds Grep to GrepByStr for a simple expression, else GrepByRegExp.
    void SetRegExp(const std::string& Str) override;
    WChar_t GetLineHeadWChar() const override { return 10; }
    WChar_t GetLineTailWChar() const override { return 10; }

    // Runs the bound strategy on the file.
    void Grep(const std::string& FileName) { (this->*GrepProc)(FileName); }
    void GrepByRegExp(const std::string& FileName);
    void GrepByStr(const std::string& FileName);

    TGrepOnMatch OnMatch;
    bool Cancel = false;
    TGrepGrepProc GrepProc = &TGrep::GrepByStr;
    // Skip over positions where no match can begin, and stop attempts that are known to fail,
    // instead of trying everything; the lines and events are the same either way (turned off by
    // tests that compare the two).
    bool UseFastScan = true;
    // Bytes of the file the last search passed over without trying a match there.
    std::size_t BytesSkipped = 0;

private:
    void report(TTxtFile& file);
};

}  // namespace zb
