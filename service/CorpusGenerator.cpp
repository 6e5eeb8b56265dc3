#include "service/CorpusGenerator.h"

#include <cstdint>
#include <string>
#include <vector>

#include "common/Cp932.h"

namespace zb {

namespace {

// A word of the corpus in both languages (UTF-8 here, CP932 in the corpus). A subject may have
// a further spelling that is a keyword of its own.
struct Word {
    const char* Ja;
    const char* En;
    const char* Extra = nullptr;
};

struct Colour {
    const char* Ja;
    const char* En;
    std::uint32_t Rgb;
};

// Several words hold characters whose CP932 trail byte is '\\' or '|' (表, ソ, 能, 十, ポ), so
// searches over them exercise the double-byte handling of every scanner.
const Word kSubjects[] = {
    {"猫", "cat"},
    {"犬", "dog"},
    {"車", "car"},
    {"花", "flower"},
    {"山", "mountain"},
    {"海", "sea"},
    {"桜", "cherry blossom"},
    {"富士山", "Mount Fuji"},
    {"寿司", "sushi"},
    {"ラーメン", "ramen"},
    {"城", "castle"},
    {"寺", "temple"},
    {"電車", "train"},
    {"空", "sky"},
    {"夜景", "night view"},
    {"雪", "snow"},
    {"紅葉", "autumn leaves"},
    {"鳥", "bird"},
    {"金魚", "goldfish"},
    {"本", "book"},
    {"ソフトクリーム", "soft serve"},
    {"表紙", "cover"},
    {"神社", "shrine"},
    {"自転車", "bicycle"},
    {"飛行機", "airplane"},
    {"船", "ship"},
    {"時計", "clock"},
    {"ケーキ", "cake"},
    {"着物", "kimono"},
    {"庭園", "garden"},
    {"滝", "waterfall"},
    {"橋", "bridge"},
    {"ロボット", "robot"},
    {"ギター", "guitar"},
    {"カメラ", "camera", "ｶﾒﾗ"},
    {"能面", "Noh mask"},
    {"パンダ", "panda"},
    {"十字路", "crossroads"},
    {"馬", "horse"},
    {"灯台", "lighthouse"},
};

const Colour kColours[] = {
    {"赤", "red", 0xD03030},    {"青", "blue", 0x3050D0},    {"緑", "green", 0x30A040},
    {"白", "white", 0xF0F0F0},  {"黒", "black", 0x202020},   {"黄色", "yellow", 0xE0D030},
    {"紫", "purple", 0x8040A0}, {"茶色", "brown", 0x805030}, {"ピンク", "pink", 0xF090B0},
    {"銀", "silver", 0xB0B0B8}, {"金", "gold", 0xC8A030},    {"水色", "light blue", 0x80C8F0},
};

const Word kStyles[] = {
    {"写真", "photo"},    {"イラスト", "illustration"}, {"壁紙", "wallpaper"},
    {"アイコン", "icon"}, {"素材", "clip art"},         {"ポスター", "poster"},
    {"絵画", "painting"}, {"スケッチ", "sketch"},
};

const Word kPlaces[] = {
    {"東京", "Tokyo"},
    {"京都", "Kyoto"},
    {"大阪", "Osaka"},
    {"北海道", "Hokkaido"},
    {"沖縄", "Okinawa"},
    {"奈良", "Nara"},
    {"横浜", "Yokohama"},
    {"神戸", "Kobe"},
    {"パリ", "Paris"},
    {"ロンドン", "London"},
    {"ニューヨーク", "New York"},
    {"表参道", "Omotesando"},
};

const char* const kSiteNames[] = {"photo-kan", "sakura-net", "yamada",   "tanaka-web",
                                  "imagebank", "pictbox",    "tabi-log", "kaze",
                                  "minato",    "hoshizora",  "studio-k", "gallery21"};

struct Language {
    const char* Code;
    int Percent;  // share of the pages, cumulative order below
    const char* Tld;
};

const Language kLanguages[] = {
    {"ja", 55, "jp"}, {"en", 30, "com"}, {"fr", 8, "fr"}, {"de", 7, "de"}};

constexpr int kAdultPercent = 8;
constexpr std::uint64_t kSeed = 0x5A554E4241525241ULL;

// splitmix64: a fixed, portable sequence, so the corpus is the same on every machine.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Draws numbers for one image.
class Draw {
public:
    explicit Draw(std::uint64_t seed) : state_(seed) {}
    std::size_t Below(std::size_t n) {
        return static_cast<std::size_t>((state_ = Mix(state_)) % n);
    }

private:
    std::uint64_t state_;
};

std::string MakeId(std::size_t index) {
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::uint64_t v = Mix(kSeed ^ (index * 0x100000001B3ULL));
    std::string id = "ZB";
    for (int i = 0; i < 12; ++i) {
        id += kDigits[v % 62];
        v /= 62;
    }
    return id;
}

std::string Capitalised(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

std::string Slug(const std::string& s) {
    std::string out;
    for (char c : s)
        out += (c == ' ') ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return out;
}

void AddPair(std::vector<std::string>& keywords, const Word& w) {
    keywords.push_back(Utf8ToCp932(w.Ja));
    keywords.push_back(w.En);
    if (w.Extra != nullptr) keywords.push_back(Utf8ToCp932(w.Extra));
}

template <typename T, std::size_t N>
constexpr std::size_t CountOf(const T (&)[N]) {
    return N;
}

ImageEntry MakeEntry(std::size_t index) {
    Draw d(kSeed + index);
    const Word& subject = kSubjects[d.Below(CountOf(kSubjects))];
    const Colour& colour = kColours[d.Below(CountOf(kColours))];
    const Word& style = kStyles[d.Below(CountOf(kStyles))];
    const std::size_t placeIndex = d.Below(CountOf(kPlaces) + 4);  // some images name no place
    const Word* place = placeIndex < CountOf(kPlaces) ? &kPlaces[placeIndex] : nullptr;
    int roll = static_cast<int>(d.Below(100));
    const Language* language = &kLanguages[0];
    for (const Language& l : kLanguages) {
        language = &l;
        if (roll < l.Percent) break;
        roll -= l.Percent;
    }

    ImageEntry e;
    e.Id = MakeId(index);
    e.Adult = static_cast<int>(d.Below(100)) < kAdultPercent;
    e.Language = language->Code;
    e.Colour = colour.Rgb;

    const std::string number = std::to_string(index + 1);
    if (e.Language == "ja") {
        std::string title = std::string(e.Adult ? "セクシー " : "") + colour.Ja + "の" +
                            subject.Ja + "の" + style.Ja;
        if (place != nullptr) title += std::string("（") + place->Ja + "）";
        e.Title = Utf8ToCp932(title + " No." + number);
    } else {
        std::string title =
            std::string(e.Adult ? "Sexy " : "") + colour.En + " " + subject.En + " " + style.En;
        if (place != nullptr) title += std::string(" in ") + place->En;
        e.Title = Capitalised(title) + " #" + number;
    }
    AddPair(e.Keywords, subject);
    e.Keywords.push_back(Utf8ToCp932(colour.Ja));
    e.Keywords.push_back(colour.En);
    AddPair(e.Keywords, style);
    if (place != nullptr) AddPair(e.Keywords, *place);
    e.Keywords.push_back(Utf8ToCp932("画像"));
    e.Keywords.push_back("image");
    if (e.Adult) {
        e.Keywords.push_back(Utf8ToCp932("セクシー"));
        e.Keywords.push_back("sexy");
    }

    const char* siteName = kSiteNames[d.Below(CountOf(kSiteNames))];
    e.Site = std::string("www.") + siteName + "." + language->Tld;
    e.ImagePath = "/photos/" + std::to_string(1 + d.Below(40)) + "/" + Slug(subject.En) + "_" +
                  number + ".jpg";

    static const int kWidths[] = {320, 480, 640, 800, 1024, 1280, 1600};
    static const int kAspects[][2] = {{4, 3}, {3, 4}, {16, 9}, {1, 1}, {3, 2}};
    const int* aspect = kAspects[d.Below(CountOf(kAspects))];
    e.Width = kWidths[d.Below(CountOf(kWidths))];
    e.Height = e.Width * aspect[1] / aspect[0];
    e.SizeKb = e.Width * e.Height / 12000 + 4 + static_cast<int>(d.Below(40));
    // Thumbnails fit a 120 x 120 box, keeping the aspect ratio.
    if (e.Width >= e.Height) {
        e.ThumbWidth = 120;
        e.ThumbHeight = 120 * e.Height / e.Width;
    } else {
        e.ThumbHeight = 120;
        e.ThumbWidth = 120 * e.Width / e.Height;
    }
    return e;
}

}  // namespace

ImageCorpus GenerateCorpus(std::size_t count) {
    ImageCorpus corpus;
    for (std::size_t i = 0; i < count; ++i)
        corpus.Add(MakeEntry(i));
    return corpus;
}

}  // namespace zb
