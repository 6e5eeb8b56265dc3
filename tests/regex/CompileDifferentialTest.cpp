// The whole compile pipeline against an independent oracle: for random expressions over a small
// alphabet, the DFA accepts exactly the strings that std::regex matches as a whole.

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "regex/TRegularExpression.h"

namespace zb {
namespace {

class ExpressionGenerator {
public:
    explicit ExpressionGenerator(unsigned seed) : rng_(seed) {}

    std::string expr(int depth) {
        std::string out = term(depth);
        while (pick(3) == 0)
            out += "|" + term(depth);
        return out;
    }

private:
    std::string term(int depth) {
        std::string out = factor(depth);
        while (pick(2) == 0)
            out += factor(depth);
        return out;
    }
    std::string factor(int depth) {
        std::string out = atom(depth);
        switch (pick(6)) {
            case 0:
                return out + "*";
            case 1:
                return out + "+";
            case 2:
                return out + "?";
            default:
                return out;
        }
    }
    std::string atom(int depth) {
        switch (depth > 0 ? pick(8) : pick(6)) {
            case 0:
                return ".";
            case 1:
                return "[ab]";
            case 2:
                return "[^b]";
            case 3:
                return "[a-b]";
            case 6:
            case 7:
                return "(" + expr(depth - 1) + ")";
            default:
                return std::string(1, static_cast<char>('a' + pick(3)));
        }
    }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::mt19937 rng_;
};

bool dfaAccepts(const TRegularExpression& re, const std::string& text) {
    const RE_DFAState_t* s = re.GetpInitialDFAState();
    for (char c : text) {
        s = TRegularExpression::NextDFAState(s, static_cast<unsigned char>(c));
        if (s == nullptr) return false;
    }
    return s->Accepted;
}

TEST(CompileDifferential, WholeStringAcceptanceAgreesWithStdRegex) {
    ExpressionGenerator gen(20261208);
    // Every string over {a, b, c} up to four characters.
    std::vector<std::string> texts{""};
    for (std::size_t i = 0; texts.size() < 121; ++i) {
        for (char c : {'a', 'b', 'c'})
            texts.push_back(texts[i] + c);
    }
    TRegularExpression re;
    int checked = 0;
    for (int i = 0; i < 250; ++i) {
        const std::string e = gen.expr(2);
        ASSERT_NO_THROW(re.SetRegExp(e)) << e;
        const std::regex oracle(e, std::regex::ECMAScript);
        for (const std::string& t : texts) {
            ASSERT_EQ(dfaAccepts(re, t), std::regex_match(t, oracle))
                << "expression " << e << " text \"" << t << "\"";
            ++checked;
        }
    }
    EXPECT_EQ(checked, 250 * 121);
}

TEST(CompileDifferential, DFAHasAtMostOneTransitionPerCode) {
    ExpressionGenerator gen(7);
    TRegularExpression re;
    for (int i = 0; i < 300; ++i) {
        // Mix in anchors that end up literal and overlap the classes.
        std::string e = gen.expr(2);
        e = (i % 3 == 0 ? "x^" : "") + e + (i % 2 == 0 ? "$y" : "");
        re.SetRegExp(e);
        for (const auto& s : re.GetCurrentDFA()->StateList) {
            for (std::size_t k = 1; k < s->Next.size(); ++k) {
                ASSERT_GT(s->Next[k].CharClass.StartChar, s->Next[k - 1].CharClass.EndChar) << e;
            }
        }
    }
}

}  // namespace
}  // namespace zb
