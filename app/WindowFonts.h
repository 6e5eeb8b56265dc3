#pragma once
// The window's fonts: the form font (12-pixel characters) and the label font (13-pixel
// characters), each in the first of its families that is installed. The Japanese system fonts
// the window was designed with come first; the IPA Gothic fonts from Debian stand in for them.

#include <QFont>
#include <QString>
#include <QStringList>

namespace zb {

// Families tried for the form font and for the label font, in order.
QStringList FormFontFamilies();
QStringList LabelFontFamilies();

// The first family of the list that the font database knows; empty when none is installed.
QString FirstInstalledFamily(const QStringList& families);

// The fonts themselves; without any of the families, the application's default family.
QFont FormFont();
QFont LabelFont();

}  // namespace zb
