#include "TestForm.h"

#include <QApplication>
#include <QCoreApplication>

namespace zb::test {

namespace {
QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption, QRect r) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(r);
    box->show();
    return box;
}
QLabel* Label(QWidget* parent, const char* caption, QRect r) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(r);
    label->show();
    return label;
}
TEdit97* Edit(QWidget* parent, const char* name, QRect r) {
    auto* edit = new TEdit97(parent);
    edit->setObjectName(name);
    edit->setGeometry(r);
    return edit;
}
}  // namespace

TestForm::TestForm() {
    Form.setWindowTitle("Zunbarra Image Search");
    Form.setGeometry(100, 100, 452, 268);
    Dock_Up = new TDock97(&Form, dpTop);
    Dock_Up->setObjectName("Dock_Up");
    Rest = new QWidget(&Form);
    Rest->setObjectName("ScrollBox1");
    Dock_Up->OnResize = [this](TDock97*) { Rest->setGeometry(TDock97::AlignDocks(&Form)); };
    Dock_Up->BeginUpdate();

    Toolbar_Menu = new TToolbar97(Dock_Up);
    Toolbar_Menu->setObjectName("Toolbar_Menu");
    Toolbar_Menu->SetCaption("Toolbar_Menu");
    Toolbar_Menu->SetDockRow(0);
    Toolbar_Menu->SetDockPos(0);
    ToolbarButtonSearchGet = new TToolbarButton97(Toolbar_Menu);
    ToolbarButtonSearchGet->setObjectName("ToolbarButtonSearchGet");
    ToolbarButtonSearchGet->SetCaption("Search and Get");
    ToolbarButtonSearchGet->setGeometry(0, 0, 108, 24);
    ToolbarButtonSearchGet->OnClick = [this] { ++SearchClicks; };
    ToolbarButton_SaveURLs = new TToolbarButton97(Toolbar_Menu);
    ToolbarButton_SaveURLs->setObjectName("ToolbarButton_SaveURLs");
    ToolbarButton_SaveURLs->SetCaption("Save URLs");
    ToolbarButton_SaveURLs->setGeometry(108, 0, 96, 24);
    ToolbarButton_SaveURLs->OnClick = [this] { ++SaveClicks; };

    ToolWindow974 = new TToolWindow97(Dock_Up);
    ToolWindow974->setObjectName("ToolWindow974");
    ToolWindow974->SetCaption("ToolWindow974");
    ToolWindow974->SetDockRow(0);
    ToolWindow974->SetDockPos(358);
    ToolWindow974->SetClientSize(76, 24);
    Image1 = new QLabel(ToolWindow974->ClientArea());
    Image1->setGeometry(0, 0, 75, 24);
    Image1->show();

    ToolWindow972 = new TToolWindow97(Dock_Up);
    ToolWindow972->setObjectName("ToolWindow972");
    ToolWindow972->SetCaption("ToolWindow972");
    ToolWindow972->SetDockRow(1);
    ToolWindow972->SetDockPos(2);
    ToolWindow972->SetClientSize(432, 28);
    QWidget* c = ToolWindow972->ClientArea();
    CheckBox_AdultFilter = CheckBox(c, "CheckBox_AdultFilter", "Adult Filter", {5, 6, 97, 17});
    CheckBox_AdultFilter->setChecked(true);
    CheckBox_UseProxy = CheckBox(c, "CheckBox_UseProxy", "Use Proxy", {329, 6, 97, 17});
    CheckBox_fromJapan = CheckBox(c, "CheckBox_fromJapan", "from Japanease", {216, 5, 108, 17});

    ToolWindow971 = new TToolWindow97(Dock_Up);
    ToolWindow971->setObjectName("ToolWindow971");
    ToolWindow971->SetCaption("ToolWindow971");
    ToolWindow971->SetDockRow(2);
    ToolWindow971->SetDockPos(0);
    ToolWindow971->SetClientSize(434, 92);
    c = ToolWindow971->ClientArea();
    Label(c, "And KeyWord", {5, 7, 74, 13});
    Label(c, "Not KeyWord", {5, 35, 73, 13});
    Edit_AndKeyWord = Edit(c, "Edit_AndKeyWord", {85, 4, 347, 19});
    Edit_NotKeyWord = Edit(c, "Edit_NotKeyWord", {84, 33, 347, 19});

    ToolWindow973 = new TToolWindow97(Dock_Up);
    ToolWindow973->setObjectName("ToolWindow973");
    ToolWindow973->SetCaption("ToolWindow973");
    ToolWindow973->SetDockRow(3);
    ToolWindow973->SetDockPos(0);
    ToolWindow973->SetClientSize(434, 32);
    c = ToolWindow973->ClientArea();
    Label(c, "Proxy", {6, 9, 32, 13});
    Edit_ProxyName = Edit(c, "Edit_ProxyName", {47, 7, 225, 19});
    Label(c, "Port", {286, 9, 25, 13});

    Dock_Up->EndUpdate();
    Form.show();
    Flush();
    Rest->setGeometry(TDock97::AlignDocks(&Form));
    Rest->show();
    QApplication::setActiveWindow(&Form);
    Flush();
}

TestForm::~TestForm() = default;

void Flush() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QImage Snapshot(QWidget* w) {
    return w->grab().toImage();
}

QColor PixelAt(QWidget* w, int x, int y) {
    return Snapshot(w).pixelColor(x, y);
}

}  // namespace zb::test
