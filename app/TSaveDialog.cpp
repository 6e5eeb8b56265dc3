#include "app/TSaveDialog.h"

#include <QFileDialog>

namespace zb {

bool TSaveDialog::Execute() {
    const std::optional<QString> chosen = Choose ? Choose(FParent) : std::nullopt;
    if (!chosen || chosen->isEmpty()) return false;
    FileName = *chosen;
    return true;
}

std::optional<QString> TSaveDialog::DefaultChooser(QWidget* parent) {
    const QString name = QFileDialog::getSaveFileName(parent, QString(), QString(), QString(),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

}  // namespace zb
