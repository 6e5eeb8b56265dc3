#include "DownloadName.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>

namespace zb {

std::string Sha256Hex(const std::string& bytes) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

std::string ThumbnailFileId(const std::string& address) {
    const std::size_t key = address.find("tbn:");
    if (key != std::string::npos) {
        const std::size_t from = key + 4;
        const std::size_t end = std::min(address.find_first_of("&#", from), address.size());
        const std::string id = address.substr(from, end - from);
        const bool plain = std::all_of(id.begin(), id.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '-' || c == '_';
        });
        if (plain && !id.empty() && id.size() <= 64) return id;
    }
    return Sha256Hex(address).substr(0, 16);
}

}  // namespace zb
