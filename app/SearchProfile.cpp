#include "app/SearchProfile.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <set>

#include "app/QueryWords.h"
#include "common/Cp932.h"
#include "regex/ERegExpParser.h"
#include "regex/TGrep.h"

namespace zb {

namespace {

// Keys a profile file may hold; Scan/CutN and Scan/FieldN are checked apart.
const std::set<std::string> kKnownKeys = {
    "Profile/Name",       "Service/Base",     "Query/Template",     "Query/WordSeparator",
    "Query/NotSeparator", "Query/NotPrefix",  "Query/Encoding",     "Query/AdultOn",
    "Query/AdultOff",     "Query/LanguageOn", "Query/LanguageOff",  "Pages/Size",
    "Pages/FirstOffset",  "Scan/ImageLine",   "Scan/AddressPrefix", "Scan/NextPage",
};
constexpr int kMaxCuts = 9;

class ProfileReader {
public:
    explicit ProfileReader(const std::string& path)
        : path_(path), settings_(QString::fromStdString(path), QSettings::IniFormat) {}

    QSettings& Settings() { return settings_; }

    [[noreturn]] void Fail(const std::string& message) const {
        throw EProfileError(path_ + ": " + message);
    }

    bool Has(const char* key) const { return settings_.contains(QString::fromUtf8(key)); }

    // The value as UTF-8 text; a value QSettings split at its commas is joined again.
    std::string Text(const char* key) const {
        const QVariant value = settings_.value(QString::fromUtf8(key));
        if (value.typeId() == QMetaType::QStringList) {
            return value.toStringList().join(QLatin1Char(',')).toStdString();
        }
        return value.toString().toStdString();
    }

    std::string Required(const char* key) const {
        if (!Has(key)) Fail(std::string("missing key ") + key);
        return Text(key);
    }

    void Read(const char* key, std::string& field) const {
        if (Has(key)) field = Text(key);
    }

    // A value for the engine or the query: CP932 bytes.
    void ReadBytes(const char* key, std::string& field) const {
        if (!Has(key)) return;
        try {
            field = Utf8ToCp932(Text(key));
        } catch (const Exception& e) {
            Fail(std::string(key) + ": " + e.what());
        }
    }

    void ReadInt(const char* key, int& field, int low) const {
        if (!Has(key)) return;
        const std::string text = Text(key);
        bool ok = false;
        const int value = QString::fromStdString(text).trimmed().toInt(&ok);
        if (!ok) Fail(std::string(key) + ": \"" + text + "\" is not a whole number");
        if (value < low) {
            Fail(std::string(key) + ": " + text + " is below " + std::to_string(low));
        }
        field = value;
    }

private:
    std::string path_;
    QSettings settings_;
};

bool IsUnreserved(unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
           b == '.' || b == '_' || b == '~';
}

// Percent-encodes UTF-8 bytes, leaving the unreserved ones and blanks (they are replaced later).
std::string EncodeUtf8Query(const std::string& cp932) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : Cp932ToUtf8(cp932)) {
        const auto b = static_cast<unsigned char>(c);
        if (IsUnreserved(b) || b == ' ') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

std::string EncodeWords(const SearchProfile& profile, const std::string& words) {
    return profile.Encoding == "utf-8" ? EncodeUtf8Query(words) : EscapeQueryBytes(words);
}

// A replacement text for GSub that stands for itself ("&" is otherwise the matched text and "\"
// starts an escape).
std::string LiteralReplacement(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '&') out += '\\';
        out += c;
    }
    return out;
}

void CheckUnknownKeys(QSettings& settings, std::vector<std::string>& warnings) {
    for (const QString& key : settings.allKeys()) {
        const std::string name = key.toStdString();
        if (kKnownKeys.count(name) != 0) continue;
        bool cut = false;
        for (int i = 1; i <= kMaxCuts && !cut; ++i) {
            cut =
                name == "Scan/Cut" + std::to_string(i) || name == "Scan/Field" + std::to_string(i);
        }
        if (!cut) warnings.push_back("unknown key " + name + " (ignored)");
    }
}

void ReadCuts(const ProfileReader& reader, SearchProfile& profile) {
    profile.Cuts.clear();
    for (int i = 1; i <= kMaxCuts; ++i) {
        const std::string cutKey = "Scan/Cut" + std::to_string(i);
        const std::string fieldKey = "Scan/Field" + std::to_string(i);
        if (!reader.Has(cutKey.c_str())) {
            if (reader.Has(fieldKey.c_str())) reader.Fail(fieldKey + " without " + cutKey);
            continue;
        }
        ProfileCut cut;
        reader.ReadBytes(cutKey.c_str(), cut.Split);
        if (cut.Split.empty()) reader.Fail(cutKey + " is empty");
        reader.ReadInt(fieldKey.c_str(), cut.Field, 1);
        if (profile.Cuts.size() + 1 != static_cast<std::size_t>(i)) {
            reader.Fail(cutKey + " follows a missing Scan/Cut" + std::to_string(i - 1));
        }
        profile.Cuts.push_back(cut);
    }
    if (profile.Cuts.empty()) reader.Fail("missing key Scan/Cut1");
}

void CheckExpression(const std::string& key, const std::string& expression) {
    if (expression.empty()) throw EProfileError(key + ": the expression is empty");
    TGrep grep;
    try {
        grep.SetRegExp(expression);
    } catch (const ERegExpParser& e) {
        throw EProfileError(key + ": " + e.what() + " (at position " + std::to_string(e.ErrorPos) +
                            ")");
    } catch (const Exception& e) {
        throw EProfileError(key + ": " + e.what());
    }
}

}  // namespace

SearchProfile BuiltInProfile() {
    return SearchProfile();
}

SearchProfile LoadSearchProfile(const std::string& path, std::vector<std::string>& warnings) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile() || !info.isReadable()) {
        throw EProfileError(path + ": cannot read the profile file");
    }
    ProfileReader reader(path);
    if (reader.Settings().status() != QSettings::NoError) reader.Fail("not an INI file");
    CheckUnknownKeys(reader.Settings(), warnings);

    SearchProfile profile;
    profile.Name = info.completeBaseName().toStdString();
    reader.Read("Profile/Name", profile.Name);
    profile.Base = reader.Required("Service/Base");
    while (!profile.Base.empty() && profile.Base.back() == '/')
        profile.Base.pop_back();
    const bool http = profile.Base.rfind("http://", 0) == 0 && profile.Base.size() > 7;
    const bool https = profile.Base.rfind("https://", 0) == 0 && profile.Base.size() > 8;
    if (!http && !https) reader.Fail("Service/Base must begin with http:// or https://");

    reader.Required("Query/Template");
    reader.ReadBytes("Query/Template", profile.Template);
    if (profile.Template.find("{offset}") == std::string::npos) {
        reader.Fail("Query/Template lacks {offset}: every page would be the first");
    }
    reader.ReadBytes("Query/WordSeparator", profile.WordSeparator);
    reader.ReadBytes("Query/NotSeparator", profile.NotSeparator);
    reader.ReadBytes("Query/NotPrefix", profile.NotPrefix);
    reader.Read("Query/Encoding", profile.Encoding);
    if (profile.Encoding != "cp932" && profile.Encoding != "utf-8") {
        reader.Fail("Query/Encoding must be cp932 or utf-8, not \"" + profile.Encoding + "\"");
    }
    reader.ReadBytes("Query/AdultOn", profile.AdultOn);
    reader.ReadBytes("Query/AdultOff", profile.AdultOff);
    reader.ReadBytes("Query/LanguageOn", profile.LanguageOn);
    reader.ReadBytes("Query/LanguageOff", profile.LanguageOff);
    reader.ReadInt("Pages/Size", profile.PageSize, 1);
    reader.ReadInt("Pages/FirstOffset", profile.FirstOffset, 0);

    reader.Required("Scan/ImageLine");
    reader.ReadBytes("Scan/ImageLine", profile.ImageLine);
    ReadCuts(reader, profile);
    reader.ReadBytes("Scan/AddressPrefix", profile.AddressPrefix);
    reader.Required("Scan/NextPage");
    reader.ReadBytes("Scan/NextPage", profile.NextPage);
    try {
        CheckProfileExpressions(profile);
    } catch (const EProfileError& e) {
        reader.Fail(e.what());
    }
    return profile;
}

void CheckProfileExpressions(const SearchProfile& profile) {
    CheckExpression("Scan/ImageLine", profile.ImageLine);
    for (std::size_t i = 0; i < profile.Cuts.size(); ++i) {
        CheckExpression("Scan/Cut" + std::to_string(i + 1), profile.Cuts[i].Split);
    }
    CheckExpression("Scan/NextPage", profile.NextPage);
}

std::string ComposeAndWords(const SearchProfile& profile, const std::string& words, TAWKStr& awk) {
    std::string out = EncodeWords(profile, words);
    awk.SetRegExp(" ");
    awk.GSub(LiteralReplacement(profile.WordSeparator), out);
    return out;
}

std::string ComposeNotWords(const SearchProfile& profile, const std::string& words, TAWKStr& awk) {
    std::string out = EncodeWords(profile, words);
    if (out.empty()) return out;
    const std::string mark = profile.NotSeparator + profile.NotPrefix;
    awk.SetRegExp(" ");
    awk.GSub(LiteralReplacement(mark), out);
    return mark + out;
}

std::string FillPlaceholders(const std::string& text,
                             const std::vector<std::pair<std::string, std::string>>& values) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '{') {
            for (const auto& [name, value] : values) {
                if (text.compare(i + 1, name.size(), name) == 0 &&
                    i + 1 + name.size() < text.size() && text[i + 1 + name.size()] == '}') {
                    out += value;
                    i += name.size() + 2;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

}  // namespace zb
