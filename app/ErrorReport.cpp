#include "app/ErrorReport.h"

#include <QMessageBox>

namespace zb {

void ShowErrorReport(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), message,
                    QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace zb
