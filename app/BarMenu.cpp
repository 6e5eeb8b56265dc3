#include "app/BarMenu.h"

#include <QMenu>

#include "dock/widgets/TDock97.h"
#include "dock/widgets/TToolWindow97.h"

namespace zb {

BarMenu::Place BarMenu::Record(TCustomToolWindow97* bar) {
    Place place;
    place.Bar = bar;
    place.Dock = bar->DockedTo();
    place.Row = bar->DockRow();
    place.Pos = bar->DockPos();
    place.Shown = bar->BarVisible();
    if (const auto* window = qobject_cast<TToolWindow97*>(bar))
        place.ClientSize = window->ClientSize();
    return place;
}

void BarMenu::HookMenu(TCustomToolWindow97* bar) {
    bar->OnContextMenu = [this](TCustomToolWindow97* sender, QPoint globalPos) {
        Popup(sender->Form(), globalPos);
    };
}

void BarMenu::AddBar(TCustomToolWindow97* bar) {
    FBars.push_back(Record(bar));
    HookMenu(bar);
}

void BarMenu::SetThumbnails(TToolWindow97* window) {
    FThumbnails = Record(window);
    HookMenu(window);
}

void BarMenu::AddDock(TDock97* dock) {
    FDocks.append(dock);
    dock->OnContextMenu = [this](TDock97* sender, QPoint globalPos) {
        Popup(sender->parentWidget(), globalPos);
    };
}

QMenu* BarMenu::Build(QWidget* parent) {
    auto* menu = new QMenu(parent);
    auto addToggle = [menu](TCustomToolWindow97* bar, std::function<void(bool)> show) {
        QAction* action = menu->addAction(bar->Caption());
        action->setCheckable(true);
        action->setChecked(bar->BarVisible());
        if (!show) show = [bar](bool on) { bar->setVisible(on); };
        QObject::connect(action, &QAction::toggled, bar, show);
    };
    for (const Place& place : FBars)
        if (place.Bar) addToggle(place.Bar, nullptr);
    if (FThumbnails.Bar) {
        menu->addSeparator();
        addToggle(FThumbnails.Bar, ShowThumbnails);
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("Reset bar layout"), menu, [this] { ResetLayout(); });
    return menu;
}

void BarMenu::Popup(QWidget* parent, QPoint globalPos) {
    QMenu* menu = Build(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void BarMenu::Restore(const Place& place, bool shown) {
    TCustomToolWindow97* bar = place.Bar;
    if (!bar) return;
    if (auto* window = qobject_cast<TToolWindow97*>(bar); window && place.ClientSize.isValid())
        window->SetClientSize(place.ClientSize.width(), place.ClientSize.height());
    if (bar->DockedTo() != place.Dock) bar->SetDockedTo(place.Dock);
    bar->SetDockRow(place.Row);
    bar->SetDockPos(place.Pos);
    bar->setVisible(shown);
}

void BarMenu::ResetLayout() {
    for (const auto& dock : FDocks)
        if (dock) dock->BeginUpdate();
    for (const Place& place : FBars)
        Restore(place, place.Shown);
    if (FThumbnails.Bar) Restore(FThumbnails, FThumbnails.Bar->BarVisible());
    for (const auto& dock : FDocks)
        if (dock) dock->EndUpdate();
}

}  // namespace zb
