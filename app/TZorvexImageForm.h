#pragma once
// The main window: the inputs of the search session (keywords, options, proxy) in a toolbar and
// four tool windows on one dock along the top edge, the two commands "Search and Get" and
// "Save URLs", the growing address list and a status bar. The window is the session's front
// end: it hands over the input texts as CP932 bytes, shows each request address as its caption
// and appends each address found to the list. The status bar shows what the session does and,
// at the end, why it ended.
//
// The session runs inside the "Search and Get" click and serves the window's events while it
// waits, so the window stays usable during a search: the inputs can be edited (they apply from
// the next page on), the list can be saved, and a second "Search and Get" is refused while one
// runs. Closing the window stops a running search.
//
// Along the right edge a second dock holds the Thumbnails window, hidden at start: shown, it
// fetches the pictures of the addresses found beside the search. A right click on a bar's grip
// or a dock's free area opens the bar menu (BarMenu).

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/BarMenu.h"
#include "app/SearchFrontEnd.h"
#include "app/SearchSession.h"
#include "app/TAddressMemo.h"
#include "app/TNumIO.h"
#include "app/TSaveDialog.h"
#include "app/TStatusBar.h"
#include "app/ThumbnailsWindow.h"
#include "dock/widgets/TDock97.h"
#include "dock/widgets/TEdit97.h"
#include "dock/widgets/TToolWindow97.h"
#include "dock/widgets/TToolbar97.h"
#include "dock/widgets/TToolbarButton97.h"

namespace zb {

inline constexpr const char* kFormCaption = "Zunbarra Image Search";

class TZorvexImageForm : public QWidget, public SearchFrontEnd {
    Q_OBJECT
public:
    explicit TZorvexImageForm(QWidget* parent = nullptr);
    ~TZorvexImageForm() override;

    // Controls.
    TDock97* Dock_Up;
    TToolbar97* Toolbar_Menu;
    TToolbarButton97* ToolbarButtonSearchGet;
    TToolbarButton97* ToolbarButton_SaveURLs;
    TToolWindow97* ToolWindow974;
    QLabel* Image1;
    TToolWindow97* ToolWindow972;
    QCheckBox* CheckBox_AdultFilter;
    QCheckBox* CheckBox_UseProxy;
    QCheckBox* CheckBox_fromJapan;
    TToolWindow97* ToolWindow971;
    QLabel* Label1;
    QLabel* Label2;
    TEdit97* Edit_AndKeyWord;
    TEdit97* Edit_NotKeyWord;
    TToolWindow97* ToolWindow973;
    QLabel* Label3;
    TEdit97* Edit_ProxyName;
    QLabel* Label4;
    TNumIO* NumIO_ProxyPort;
    QScrollArea* ScrollBox1;
    TAddressMemo* Memo_URL;
    TStatusBar* StatusBar1;
    // The dock along the right edge and the Thumbnails window on it (hidden at start).
    TDock97* Dock_Right;
    ThumbnailsWindow* Thumbnails;
    // The menu of the bars.
    BarMenu Bars;

    // The search session with its workers (NMHTTP2Zorvex, Grep, GrepNext, AWKStr, AWKStr2).
    std::unique_ptr<SearchSession> Session;
    TSaveDialog SaveDialog;
    // The standard error report for exceptions out of the commands (a message box by default).
    std::function<void(const QString& message)> ErrorReport;
    // Raised when the window has been closed.
    std::function<void()> OnClosed;

    // The commands, as the buttons run them: exceptions reach ErrorReport.
    void ToolbarButtonSearchGetClick();
    void ToolbarButton_SaveURLsClick();
    // Shows or hides the Thumbnails window. Shown on its dock, it widens the window by its width
    // and makes the window tall enough for a few rows of tiles.
    void ShowThumbnails(bool shown);
    // Shows the Thumbnails window scrolled to the tile of an address (CP932 bytes).
    void ShowThumbnailOf(const std::string& address);
    // Searches as the profile says; a profile other than the built-in one is named in a panel
    // of its own at the status bar's right end.
    void UseProfile(const SearchProfile& profile);

    // The logo's picture (75 x 24, 24 bits per pixel).
    const QImage& LogoPicture() const { return FLogo; }
    // The session's progress: pages requested and addresses appended by the current or last
    // search.
    int SessionPages() const { return FPages; }
    int SessionAddresses() const { return FAddresses; }

    // The session's inputs and outputs.
    std::string AndWords() const override;
    std::string NotWords() const override;
    bool AdultFilter() const override;
    bool JapanesePagesOnly() const override;
    bool UseProxy() const override;
    std::string ProxyHost() const override;
    std::string ProxyPort() const override;
    void SetRequestAddress(const std::string& address) override;
    void AppendAddress(const std::string& address) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildDock();
    // The dock's toolbar and tool windows, top row first.
    void BuildMenuToolbar();
    void BuildLogoWindow();
    void BuildOptionsWindow();
    void BuildKeywordWindow();
    void BuildProxyWindow();
    void BuildThumbnailsWindow();
    void BuildBarMenu();
    // The transfer settings of the thumbnails: the session's time-outs, the proxy inputs.
    void ApplyThumbnailSettings(ThumbnailSettings& settings) const;
    // A Thumbnails window alone on the right dock takes the dock's whole length.
    void FitThumbnailsToDock();
    void BuildClientArea();
    void SetTabOrder();
    void PlaceClientControls();
    void RunCommand(const std::function<void()>& command);
    void SearchGet();
    void SaveURLs();
    void ShowOutcome();
    // Shows or hides the windows of the bars that float, with the window.
    void ShowFloatingBars(bool show);

    QImage FLogo;
    int FPages = 0;
    int FAddresses = 0;
};

}  // namespace zb
