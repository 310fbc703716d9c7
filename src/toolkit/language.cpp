#include "toolkit/language.h"

#include <QFile>
#include <QXmlStreamReader>

#include "base/debug.h"

namespace tvq {

bool LanguageManager::load(const QString& path) {
    texts_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        debug::write("cannot read " + path.toStdString());
        return false;
    }
    QHash<QString, QString> texts;
    QXmlStreamReader xml(&file);
    if (xml.readNextStartElement() && xml.name() == u"language") {
        while (xml.readNextStartElement()) {
            if (xml.name() == u"text") {
                const QString key = xml.attributes().value(QStringLiteral("key")).toString();
                texts.insert(key, xml.readElementText());
            } else {
                xml.skipCurrentElement();
            }
        }
    } else if (!xml.hasError()) {
        xml.raiseError(QStringLiteral("the root element is not <language>"));
    }
    if (xml.hasError()) {
        debug::write("malformed " + path.toStdString() + ": " + xml.errorString().toStdString());
        return false;
    }
    texts_ = std::move(texts);
    return true;
}

std::string LanguageManager::text(std::string_view key) const {
    return texts_.value(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())))
        .toStdString();
}

}  // namespace tvq
