#pragma once
// The file-save dialog of the window, with every setting at its default: no filter, no default
// extension, no initial folder, no title of its own, and no prompt before an existing file is
// overwritten. The dialog itself can be replaced (tests answer it without a modal window).

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace zb {

class TSaveDialog {
public:
    // Asks for a file name; nullopt when the user cancels. The default opens a QFileDialog.
    using Chooser = std::function<std::optional<QString>(QWidget* parent)>;

    explicit TSaveDialog(QWidget* parent) : FParent(parent) {}

    // Shows the dialog; true with FileName set when the user chose a file.
    bool Execute();

    QString FileName;
    Chooser Choose = DefaultChooser;

    static std::optional<QString> DefaultChooser(QWidget* parent);

private:
    QWidget* FParent;
};

}  // namespace zb
