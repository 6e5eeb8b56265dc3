#include "dock/widgets/Accessible97.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>

#include "dock/widgets/TCustomToolWindow97.h"
#include "dock/widgets/TCustomToolbar97.h"
#include "dock/widgets/TFloatingWindow97.h"
#include "dock/widgets/TToolbarButton97.h"
#include "dock/widgets/TToolbarSep97.h"

namespace zb {

namespace {

// A caption as read out: "&&" is an ampersand, a single "&" only marks the accelerator.
QString WithoutMnemonic(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && (++i == caption.size())) break;
        text += caption[i];
    }
    return text;
}

// A name given through the accessibility interface (accessibleName) wins over the caption.
QString NameOr(const QWidget* widget, const QString& caption) {
    return widget->accessibleName().isEmpty() ? caption : widget->accessibleName();
}

class ToolbarButtonAccessible : public QAccessibleWidget {
public:
    explicit ToolbarButtonAccessible(TToolbarButton97* button)
        : QAccessibleWidget(button, QAccessible::PushButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return NameOr(widget(), WithoutMnemonic(Button()->Caption()));
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button()->State() == bsDown;
        s.checkable = Button()->GroupIndex() != 0;
        s.checked = Button()->Down();
        s.hasPopup = Button()->UsesDropdown();
        return s;
    }

    // Pressing comes first: it is the default action.
    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled()) names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    // The click runs from the event loop, as after a mouse release, so that a long click
    // handler (a whole search) does not hold up the caller of the action.
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        if (!widget()->isEnabled()) return;
        QTimer::singleShot(0, Button(), [button = QPointer<TToolbarButton97>(Button())] {
            if (button && button->isEnabled()) button->Click();
        });
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        if (action != pressAction()) return QAccessibleWidget::keyBindingsForAction(action);
        const QKeySequence mnemonic = QKeySequence::mnemonic(Button()->Caption());
        if (mnemonic.isEmpty()) return {};
        return {mnemonic.toString(QKeySequence::NativeText)};
    }

private:
    TToolbarButton97* Button() const { return static_cast<TToolbarButton97*>(widget()); }
};

class BarAccessible : public QAccessibleWidget {
public:
    explicit BarAccessible(TCustomToolWindow97* bar)
        : QAccessibleWidget(bar, qobject_cast<TCustomToolbar97*>(bar) ? QAccessible::ToolBar
                                                                      : QAccessible::Pane) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return NameOr(widget(), static_cast<TCustomToolWindow97*>(widget())->Caption());
        return QAccessibleWidget::text(t);
    }
};

class FloatingWindowAccessible : public QAccessibleWidget {
public:
    explicit FloatingWindowAccessible(TFloatingWindow97* window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override {
        const TCustomToolWindow97* bar = static_cast<TFloatingWindow97*>(widget())->Bar();
        if (t == QAccessible::Name && bar) return NameOr(widget(), bar->Caption());
        return QAccessibleWidget::text(t);
    }
};

// Qt asks once for every class of the object, from the most derived one up; each interface
// answers for the class it was made for.
QAccessibleInterface* Factory(const QString& className, QObject* object) {
    auto is = [&className](const QMetaObject& meta) {
        return className == QLatin1StringView(meta.className());
    };
    if (is(TToolbarButton97::staticMetaObject))
        return new ToolbarButtonAccessible(static_cast<TToolbarButton97*>(object));
    if (is(TCustomToolWindow97::staticMetaObject))
        return new BarAccessible(static_cast<TCustomToolWindow97*>(object));
    if (is(TFloatingWindow97::staticMetaObject))
        return new FloatingWindowAccessible(static_cast<TFloatingWindow97*>(object));
    if (is(TToolbarSep97::staticMetaObject))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Separator);
    return nullptr;
}

}  // namespace

void InstallAccessible97() {
    static const bool installed = (QAccessible::installFactory(Factory), true);
    (void)installed;
}

}  // namespace zb
