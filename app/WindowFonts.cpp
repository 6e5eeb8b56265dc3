#include "app/WindowFonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace zb {

namespace {

constexpr int kFormCharHeight = 12;
constexpr int kLabelCharHeight = 13;

QFont MakeFont(const QStringList& families, int charHeight) {
    QFont font = QApplication::font();
    const QString family = FirstInstalledFamily(families);
    if (!family.isEmpty()) font.setFamilies({family});
    font.setPixelSize(charHeight);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

}  // namespace

QStringList FormFontFamilies() {
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
            QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
}

QStringList LabelFontFamilies() {
    // IPAGothic's narrower Latin letters keep the captions within the labels' designed sizes.
    return {QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic"),
            QStringLiteral("IPAPGothic")};
}

QString FirstInstalledFamily(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families)
        for (const QString& known : installed)
            if (known.compare(family, Qt::CaseInsensitive) == 0) return known;
    return {};
}

QFont FormFont() {
    return MakeFont(FormFontFamilies(), kFormCharHeight);
}

QFont LabelFont() {
    return MakeFont(LabelFontFamilies(), kLabelCharHeight);
}

}  // namespace zb
