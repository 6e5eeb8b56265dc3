// Test entry for the widget and window tests: a QApplication on the offscreen platform with a
// palette whose button face, shadow, highlight and window colours are fixed, so painting can be
// checked pixel by pixel. ZB_TEST_WINDOW_GREY is the grey level of the window colour: the button
// face's (192) by default; a program that checks borders against the window sets it apart.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#ifndef ZB_TEST_WINDOW_GREY
#define ZB_TEST_WINDOW_GREY 192
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    QPalette pal = QApplication::palette();
    const int windowGrey = ZB_TEST_WINDOW_GREY;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Button, QColor(192, 192, 192));
        pal.setColor(g, QPalette::Window, QColor(windowGrey, windowGrey, windowGrey));
        pal.setColor(g, QPalette::Dark, QColor(128, 128, 128));
        pal.setColor(g, QPalette::Light, QColor(255, 255, 255));
        pal.setColor(g, QPalette::Base, QColor(240, 240, 255));
        pal.setColor(g, QPalette::Shadow, QColor(0, 0, 0));
        pal.setColor(g, QPalette::Midlight, QColor(224, 224, 224));
    }
    QApplication::setPalette(pal);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
