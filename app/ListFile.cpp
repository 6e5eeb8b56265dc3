#include "app/ListFile.h"

#include <QSaveFile>

#include "common/Exception.h"

namespace zb {

QString CannotCreateMessage(const QString& fileName) {
    return QStringLiteral("ファイル %1 を作成できません").arg(fileName);
}

void WriteListFile(const QString& fileName, const std::string& bytes) {
    QSaveFile file(fileName);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                             static_cast<qint64>(bytes.size()) &&
                         file.commit();
    if (!written) {
        file.cancelWriting();
        throw EInOutError(CannotCreateMessage(fileName).toStdString());
    }
}

}  // namespace zb
