// Writes a reproducible CP932 corpus for the grep benchmark: mixed ASCII and double-byte text,
// CR LF and LF line ends, a few very long lines, rare image-link lines and next-page markers.
//   make_corpus FILE [MEGABYTES]   (default 100)

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_corpus FILE [MEGABYTES]\n");
        return 2;
    }
    const long long target = (argc > 2 ? std::atoll(argv[2]) : 100) * 1000 * 1000;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::vector<std::string> ascii = {"the",  "image", "search", "result",   "page",  "photo",
                                            "car",  "red",   "blue",   "mountain", "river", "city",
                                            "<td>", "</td>", "href=",  "nav",      "next",  "gif"};
    // Hiragana, katakana and kanji in CP932 (検索 画像 写真 山 川 東京 ...).
    const std::vector<std::string> kanji = {
        "\x8c\x9f\x8d\xf5", "\x89\xe6\x91\x9c", "\x8e\xca\x90\x5e", "\x8e\x52",
        "\x90\xec",         "\x93\x8c\x8b\x9e", "\x82\xa0",         "\x82\xa2",
        "\x82\xcc",         "\x83\x41",         "\x83\x8b",         "\x81\x5b",
        "\x95\x5c",         "\x83\x5c",         "\x8b\x40",         "\x97\x5c"};
    long long written = 0;
    long long lineNo = 0;
    std::string line;
    while (written < target) {
        ++lineNo;
        line.clear();
        const int kind = pick(1000);
        if (kind < 3) {
            line = "<a href=/imgres?imgurl=x><img src=/images?q=tbn:" + std::to_string(lineNo) +
                   " width=120 height=90></a>";
        } else if (kind < 4) {
            line = "<a href=/images?start=20><img src=/nav_next.gif></a>";
        } else {
            // A very long line now and then (several buffer fills).
            const int words = (kind == 999 && pick(50) == 0) ? 60000 : 4 + pick(14);
            for (int w = 0; w < words; ++w) {
                if (pick(3) == 0) {
                    line += kanji[static_cast<std::size_t>(pick(static_cast<int>(kanji.size())))];
                } else {
                    line += ascii[static_cast<std::size_t>(pick(static_cast<int>(ascii.size())))];
                    line += ' ';
                }
            }
            if (pick(200) == 0) line += "\x8c\x9f\x8d\xf5 ... \x89\xe6\x91\x9c";  // 検索 ... 画像
        }
        line += (lineNo % 3 == 0) ? "\n" : "\r\n";
        std::fwrite(line.data(), 1, line.size(), out);
        written += static_cast<long long>(line.size());
    }
    std::fclose(out);
    return 0;
}
