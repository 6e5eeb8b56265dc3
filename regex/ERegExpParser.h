#pragma once
// Syntax errors of regular expressions: a message and the byte position (1-based) in the
// expression where the error was found.

#include <string>
#include <utility>

#include "common/Exception.h"

namespace zb {

class ERegExpParser : public Exception {
public:
    ERegExpParser(std::string message, int errorPos)
        : Exception(std::move(message)), ErrorPos(errorPos) {}

    int ErrorPos;
};

// The engine's syntax-error texts.
namespace remsg {
inline constexpr const char* InvalidDoubleByte = "不正な２バイト文字コードです。";
inline constexpr const char* CharAfterBackslash = "\"\\\"の次には文字が必要です。";
inline constexpr const char* InvalidHex = "不正な１６進数コード表記です。";
inline constexpr const char* InvalidOctal = "不正な８進数コード表記です。";
inline constexpr const char* RightBracketNeeded = "右ブラケット\"]\"が必要です";
inline constexpr const char* InvalidRange = "不正なキャラクタ範囲です";
inline constexpr const char* ExtraCharacters = "正規表現に余分な文字があります";
inline constexpr const char* RightParenNeeded = "右(閉じ)括弧が必要です";
inline constexpr const char* CharOrLeftParenNeeded = "普通の文字、または左括弧\"(\"が必要です";
inline constexpr const char* InvalidCharClass = "不正なキャラクタクラス指定です。";
inline constexpr const char* NestingTooDeep = "括弧の入れ子が深すぎます";
inline constexpr const char* TooComplex = "正規表現が複雑すぎます";
inline constexpr const char* ParseTreeFatal = "TREParseTree : 致命的エラー";
inline constexpr const char* NFACannotHappen = "This cannot happen in TRE_NFA.GenerateStateList";
}  // namespace remsg

}  // namespace zb
