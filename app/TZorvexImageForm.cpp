#include "app/TZorvexImageForm.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFrame>
#include <QPalette>
#include <QPixmap>
#include <algorithm>
#include <exception>

#include "app/ErrorReport.h"
#include "app/ListFile.h"
#include "app/LogoImage.h"
#include "app/WindowFonts.h"
#include "common/Cp932.h"
#include "common/Exception.h"
#include "dock/widgets/TFloatingWindow97.h"

namespace zb {

namespace {

// Where the window stands and how large its client area is when it opens.
constexpr QPoint kFormPosition(248, 160);
constexpr QSize kFormClientSize(452, 268);
constexpr int kStatusPanelWidths[] = {240, 50};
constexpr int kProfilePanelWidth = 160;
// The height of the list area that the Thumbnails window asks for when it is first shown.
constexpr int kThumbnailsHeight = 240;

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption, QRect r) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    box->setGeometry(r);
    box->show();
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QRect r) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(name);
    label->setFont(LabelFont());
    label->setGeometry(r);
    // A label sizes itself to its caption, keeping its top-left corner.
    label->resize(label->sizeHint());
    label->show();
    return label;
}

TEdit97* MakeEdit(QWidget* parent, const char* name, QRect r) {
    auto* edit = new TEdit97(parent);
    edit->setObjectName(name);
    edit->setGeometry(r);
    edit->Loaded();
    return edit;
}

TToolWindow97* MakeToolWindow(TDock97* dock, const char* name, int row, int pos, QSize client) {
    auto* bar = new TToolWindow97(dock);
    bar->setObjectName(name);
    bar->SetCaption(QString::fromUtf8(name));
    bar->SetDockRow(row);
    bar->SetDockPos(pos);
    bar->SetClientSize(client.width(), client.height());
    return bar;
}

// A text box's content as the session takes it: CP932 bytes.
std::string FieldBytes(const QString& text, const char* field) {
    try {
        return Utf8ToCp932(text.toStdString());
    } catch (const Exception&) {
        throw Exception(std::string(field) + " \"" + text.toStdString() +
                        "\" holds a character that Shift_JIS cannot represent");
    }
}

QString PagesText(int pages) {
    return pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pages);
}

// The form reads as a window named by its caption (a plain widget would be an anonymous
// filler).
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(TZorvexImageForm::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

TZorvexImageForm::TZorvexImageForm(QWidget* parent)
    : QWidget(parent),
      SaveDialog(this),
      ErrorReport([this](const QString& message) { ShowErrorReport(this, message); }) {
    QAccessible::installFactory(AccessibleFactory);
    setObjectName("ZorvexImageForm");
    setWindowTitle(QString::fromUtf8(kFormCaption));
    setFont(FormFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
    move(kFormPosition);
    resize(kFormClientSize);

    BuildDock();
    BuildThumbnailsWindow();
    BuildClientArea();
    BuildBarMenu();
    SetTabOrder();

    Session = std::make_unique<SearchSession>(*this);

    PlaceClientControls();
    Edit_AndKeyWord->setFocus();
}

TZorvexImageForm::~TZorvexImageForm() = default;

void TZorvexImageForm::BuildDock() {
    Dock_Up = new TDock97(this, dpTop);
    Dock_Up->setObjectName("Dock_Up");
    Dock_Up->OnResize = [this](TDock97*) { PlaceClientControls(); };
    Dock_Up->BeginUpdate();
    BuildMenuToolbar();
    BuildLogoWindow();
    BuildOptionsWindow();
    BuildKeywordWindow();
    BuildProxyWindow();
    Dock_Up->EndUpdate();
}

void TZorvexImageForm::BuildMenuToolbar() {
    Toolbar_Menu = new TToolbar97(Dock_Up);
    Toolbar_Menu->setObjectName("Toolbar_Menu");
    Toolbar_Menu->SetCaption(QStringLiteral("Toolbar_Menu"));
    Toolbar_Menu->SetDockRow(0);
    Toolbar_Menu->SetDockPos(0);
    ToolbarButtonSearchGet = new TToolbarButton97(Toolbar_Menu);
    ToolbarButtonSearchGet->setObjectName("ToolbarButtonSearchGet");
    ToolbarButtonSearchGet->SetCaption(QStringLiteral("Search and Get"));
    ToolbarButtonSearchGet->setGeometry(0, 0, 108, 24);
    ToolbarButtonSearchGet->OnClick = [this] { ToolbarButtonSearchGetClick(); };
    ToolbarButton_SaveURLs = new TToolbarButton97(Toolbar_Menu);
    ToolbarButton_SaveURLs->setObjectName("ToolbarButton_SaveURLs");
    ToolbarButton_SaveURLs->SetCaption(QStringLiteral("Save URLs"));
    ToolbarButton_SaveURLs->setGeometry(108, 0, 96, 24);
    ToolbarButton_SaveURLs->OnClick = [this] { ToolbarButton_SaveURLsClick(); };
    // A toolbar built from stored positions orders its controls by them.
    Toolbar_Menu->SortOrderByPosition();
}

void TZorvexImageForm::BuildLogoWindow() {
    ToolWindow974 = MakeToolWindow(Dock_Up, "ToolWindow974", 0, 358, {76, 24});
    FLogo = MakeLogoImage();
    Image1 = new QLabel(ToolWindow974->ClientArea());
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap::fromImage(FLogo));
    Image1->setAccessibleName(QStringLiteral("Zunbarra"));
    // The image sizes itself to its picture.
    Image1->setGeometry(QRect(QPoint(0, 0), FLogo.size()));
    Image1->show();
}

void TZorvexImageForm::BuildOptionsWindow() {
    ToolWindow972 = MakeToolWindow(Dock_Up, "ToolWindow972", 1, 2, {432, 28});
    QWidget* c = ToolWindow972->ClientArea();
    CheckBox_AdultFilter =
        MakeCheckBox(c, "CheckBox_AdultFilter", "Adult Filter", QRect(5, 6, 97, 17));
    CheckBox_AdultFilter->setChecked(true);
    CheckBox_UseProxy = MakeCheckBox(c, "CheckBox_UseProxy", "Use Proxy", QRect(329, 6, 97, 17));
    CheckBox_fromJapan =
        MakeCheckBox(c, "CheckBox_fromJapan", "from Japanease", QRect(216, 5, 108, 17));
}

void TZorvexImageForm::BuildKeywordWindow() {
    ToolWindow971 = MakeToolWindow(Dock_Up, "ToolWindow971", 2, 0, {434, 92});
    QWidget* c = ToolWindow971->ClientArea();
    Label1 = MakeLabel(c, "Label1", "And KeyWord", QRect(5, 7, 74, 13));
    Label2 = MakeLabel(c, "Label2", "Not KeyWord", QRect(5, 35, 73, 13));
    Edit_AndKeyWord = MakeEdit(c, "Edit_AndKeyWord", QRect(85, 4, 347, 19));
    Edit_NotKeyWord = MakeEdit(c, "Edit_NotKeyWord", QRect(84, 33, 347, 19));
    // Each label names the box beside it for assistive technology.
    Label1->setBuddy(Edit_AndKeyWord);
    Label2->setBuddy(Edit_NotKeyWord);
}

void TZorvexImageForm::BuildProxyWindow() {
    ToolWindow973 = MakeToolWindow(Dock_Up, "ToolWindow973", 3, 0, {434, 32});
    QWidget* c = ToolWindow973->ClientArea();
    Label3 = MakeLabel(c, "Label3", "Proxy", QRect(6, 9, 32, 13));
    Edit_ProxyName = MakeEdit(c, "Edit_ProxyName", QRect(47, 7, 225, 19));
    Label4 = MakeLabel(c, "Label4", "Port", QRect(286, 9, 25, 13));
    NumIO_ProxyPort = new TNumIO(c);
    NumIO_ProxyPort->setObjectName("NumIO_ProxyPort");
    NumIO_ProxyPort->SetInputFormat(itDynamic);
    NumIO_ProxyPort->SetDecPlaceSep(dsDot);
    NumIO_ProxyPort->SetRangeLow(-1.7E308);
    NumIO_ProxyPort->SetRangeHigh(1.7E308);
    NumIO_ProxyPort->SetBeep(false);
    NumIO_ProxyPort->setGeometry(319, 5, 105, 20);
    NumIO_ProxyPort->show();
    Label3->setBuddy(Edit_ProxyName);
    Label4->setBuddy(NumIO_ProxyPort);
}

void TZorvexImageForm::BuildThumbnailsWindow() {
    Dock_Right = new TDock97(this, dpRight);
    Dock_Right->setObjectName("Dock_Right");
    Dock_Right->OnResize = [this](TDock97*) { PlaceClientControls(); };
    Thumbnails = new ThumbnailsWindow(Dock_Right);
    Thumbnails->hide();
    Thumbnails->ErrorReport = [this](const QString& message) { ErrorReport(message); };
    Thumbnails->ApplySettings = [this](ThumbnailSettings& settings) {
        ApplyThumbnailSettings(settings);
    };
}

void TZorvexImageForm::BuildBarMenu() {
    for (TCustomToolWindow97* bar : std::initializer_list<TCustomToolWindow97*>{
             Toolbar_Menu, ToolWindow974, ToolWindow972, ToolWindow971, ToolWindow973})
        Bars.AddBar(bar);
    Bars.SetThumbnails(Thumbnails);
    Bars.ShowThumbnails = [this](bool shown) { ShowThumbnails(shown); };
    Bars.AddDock(Dock_Up);
    Bars.AddDock(Dock_Right);
    Memo_URL->OnShowThumbnail = [this](const std::string& address) { ShowThumbnailOf(address); };
}

void TZorvexImageForm::ApplyThumbnailSettings(ThumbnailSettings& settings) const {
    settings.TimeOutMs = kFetchTimeOutMs;
    settings.IdleTimeOutMs = kFetchIdleTimeOutMs;
    settings.ProxyHost.clear();
    settings.ProxyPort = 0;
    if (!UseProxy()) return;
    // A port the search would refuse leaves the pictures without a proxy too: they go direct.
    bool ok = false;
    const int port = NumIO_ProxyPort->text().trimmed().toInt(&ok);
    if (!ok || port <= 0 || port > 65535 || Edit_ProxyName->text().isEmpty()) return;
    settings.ProxyHost = Edit_ProxyName->text().toStdString();
    settings.ProxyPort = port;
}

void TZorvexImageForm::ShowThumbnails(bool shown) {
    if (shown == Thumbnails->BarVisible()) return;
    const int before = Dock_Right->Thickness();
    Thumbnails->setVisible(shown);
    if (!shown || Thumbnails->DockedTo() != Dock_Right || isMaximized() || isFullScreen()) return;
    const int wider = std::max(0, Dock_Right->Thickness() - before);
    const int tall = Dock_Up->Thickness() + kThumbnailsHeight + TStatusBar::DefaultHeight;
    resize(width() + wider, std::max(height(), tall));
}

void TZorvexImageForm::UseProfile(const SearchProfile& profile) {
    Session->Profile = profile;
    if (profile.BuiltIn()) {
        StatusBar1->SetPanelWidths({kStatusPanelWidths[0], kStatusPanelWidths[1]});
        return;
    }
    const QString search = StatusBar1->PanelText(0);
    const QString count = StatusBar1->PanelText(1);
    StatusBar1->SetPanelWidths({kStatusPanelWidths[0], kStatusPanelWidths[1], kProfilePanelWidth});
    StatusBar1->SetPanelText(0, search);
    StatusBar1->SetPanelText(1, count);
    StatusBar1->SetPanelText(2, QStringLiteral("Profile: ") + QString::fromStdString(profile.Name));
}

void TZorvexImageForm::ShowThumbnailOf(const std::string& address) {
    ShowThumbnails(true);
    Thumbnails->ShowTile(address);
}

void TZorvexImageForm::FitThumbnailsToDock() {
    if (Thumbnails->DockedTo() != Dock_Right || !Thumbnails->BarVisible() ||
        Dock_Right->Bars().size() != 1)
        return;
    const int height = Dock_Right->height() - Thumbnails->DockedMargins(dtLeftRight).Vertical();
    if (height >= TToolWindow97::MinClientSize && height != Thumbnails->ClientHeight())
        Thumbnails->SetClientSize(Thumbnails->ClientWidth(), height);
}

void TZorvexImageForm::BuildClientArea() {
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ScrollBox1->setLineWidth(2);
    ScrollBox1->setWidgetResizable(true);
    Memo_URL = new TAddressMemo();
    Memo_URL->setObjectName("Memo_URL");
    Memo_URL->setAccessibleName(QStringLiteral("Thumbnail addresses"));
    // The list always fills the box, however small the window gets.
    Memo_URL->setMinimumSize(1, 1);
    ScrollBox1->setWidget(Memo_URL);
    ScrollBox1->show();

    StatusBar1 = new TStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->SetPanelWidths({kStatusPanelWidths[0], kStatusPanelWidths[1]});
    StatusBar1->show();
}

void TZorvexImageForm::SetTabOrder() {
    // The bars in their tab order (keyword window, option window, proxy window), then the list.
    QWidget* chain[] = {
        Edit_AndKeyWord,    Edit_NotKeyWord, CheckBox_AdultFilter, CheckBox_UseProxy,
        CheckBox_fromJapan, Edit_ProxyName,  NumIO_ProxyPort,      Memo_URL};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void TZorvexImageForm::PlaceClientControls() {
    // The dock takes the top edge, the status bar the bottom edge, the list the rest.
    const QRect rest = TDock97::AlignDocks(this);
    const int height = std::max(0, rest.height());
    const int barHeight = std::min(TStatusBar::DefaultHeight, height);
    StatusBar1->setGeometry(rest.left(), rest.top() + height - barHeight, rest.width(), barHeight);
    ScrollBox1->setGeometry(rest.left(), rest.top(), rest.width(), height - barHeight);
    FitThumbnailsToDock();
}

void TZorvexImageForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceClientControls();
}

void TZorvexImageForm::ShowFloatingBars(bool show) {
    const TCustomToolWindow97* bars[] = {Toolbar_Menu,  ToolWindow971, ToolWindow972,
                                         ToolWindow973, ToolWindow974, Thumbnails};
    for (const TCustomToolWindow97* bar : bars)
        if (TFloatingWindow97* win = bar->FloatingWindow(); win && bar->Floating())
            win->setVisible(show && bar->BarVisible());
}

void TZorvexImageForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowFloatingBars(true);
}

void TZorvexImageForm::closeEvent(QCloseEvent* event) {
    // A running search ends as soon as it can; its command then returns.
    if (Session->Running()) Session->Stop();
    QWidget::closeEvent(event);
    if (!event->isAccepted()) return;
    // The bars floating in windows of their own go with the window.
    ShowFloatingBars(false);
    if (OnClosed) OnClosed();
}

void TZorvexImageForm::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        ErrorReport(QString::fromUtf8(e.what()));
    }
}

void TZorvexImageForm::ToolbarButtonSearchGetClick() {
    RunCommand([this] { SearchGet(); });
}

void TZorvexImageForm::ToolbarButton_SaveURLsClick() {
    RunCommand([this] { SaveURLs(); });
}

void TZorvexImageForm::SearchGet() {
    if (Session->Running()) {
        StatusBar1->SetPanelText(0, QStringLiteral("Still searching page %1").arg(FPages));
        return;
    }
    FPages = 0;
    FAddresses = 0;
    StatusBar1->SetPanelText(0, QStringLiteral("Searching"));
    StatusBar1->SetPanelText(1, QStringLiteral("0"));
    try {
        if (Session->ToolbarButtonSearchGetClick()) ShowOutcome();
    } catch (const std::exception& e) {
        StatusBar1->SetPanelText(0, FPages == 0 ? QStringLiteral("Search not started")
                                                : PagesText(FPages) + QStringLiteral(": ") +
                                                      QString::fromUtf8(e.what()));
        throw;
    }
}

void TZorvexImageForm::ShowOutcome() {
    const SearchOutcome& outcome = Session->LastOutcome();
    QString text = QString::fromUtf8(DescribeOutcome(outcome));
    if (outcome.End != SearchEnd::NoWords) text = PagesText(outcome.Pages) + ": " + text;
    StatusBar1->SetPanelText(0, text);
    StatusBar1->SetPanelText(1, QString::number(FAddresses));
}

void TZorvexImageForm::SaveURLs() {
    if (!SaveDialog.Execute()) return;
    WriteListFile(SaveDialog.FileName, Memo_URL->ListBytes());
}

std::string TZorvexImageForm::AndWords() const {
    return FieldBytes(Edit_AndKeyWord->text(), "And KeyWord");
}

std::string TZorvexImageForm::NotWords() const {
    return FieldBytes(Edit_NotKeyWord->text(), "Not KeyWord");
}

bool TZorvexImageForm::AdultFilter() const {
    return CheckBox_AdultFilter->isChecked();
}

bool TZorvexImageForm::JapanesePagesOnly() const {
    return CheckBox_fromJapan->isChecked();
}

bool TZorvexImageForm::UseProxy() const {
    return CheckBox_UseProxy->isChecked();
}

std::string TZorvexImageForm::ProxyHost() const {
    return FieldBytes(Edit_ProxyName->text(), "Proxy");
}

std::string TZorvexImageForm::ProxyPort() const {
    // The conversion error quotes the text, so it stays UTF-8.
    return NumIO_ProxyPort->text().toStdString();
}

void TZorvexImageForm::SetRequestAddress(const std::string& address) {
    setWindowTitle(QString::fromStdString(Cp932ToUtf8(address)));
    ++FPages;
    StatusBar1->SetPanelText(0, QStringLiteral("Searching page %1").arg(FPages));
}

void TZorvexImageForm::AppendAddress(const std::string& address) {
    Memo_URL->AppendLine(address);
    Thumbnails->AddAddress(address);
    ++FAddresses;
    StatusBar1->SetPanelText(1, QString::number(FAddresses));
}

}  // namespace zb
