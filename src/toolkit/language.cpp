#include "toolkit/language.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QXmlStreamReader>

#include "base/debug.h"
#include "toolkit/layout.h"

namespace tvq {

bool LanguageManager::load(const QString& path) {
    english_.clear();
    const bool read = LanguageManager::read(path, english_);
    texts_ = english_;
    return read;
}

bool LanguageManager::translate(const QString& path) {
    QHash<QString, QString> translated;
    if (!read(path, translated)) {
        return false;
    }
    texts_ = english_;
    for (auto it = translated.cbegin(); it != translated.cend(); ++it) {
        if (texts_.contains(it.key()) && !it.value().isEmpty()) {
            texts_.insert(it.key(), it.value());
        }
    }
    return true;
}

bool LanguageManager::read(const QString& path, QHash<QString, QString>& out) {
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
    out = std::move(texts);
    return true;
}

void showLanguage(LanguageManager& language, const std::string& code) {
    // Qt's own texts (the file dialog's) follow; the translator lives as
    // long as the application, or until another language is shown.
    const QString qtTranslation = QStringLiteral("tvq-qt-translation");
    QCoreApplication* app = QCoreApplication::instance();
    if (auto* earlier = app->findChild<QTranslator*>(qtTranslation, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(earlier);
        delete earlier;
    }
    const QString name = QString::fromStdString(code);
    if (code.empty() || !language.translate(resourceFolder() + "lang/" + name + ".xml")) {
        if (!code.empty()) {
            debug::write("no translation " + code + ": the texts are English\n");
        }
        language.showEnglish();
        return;
    }
    auto* qt = new QTranslator(app);
    qt->setObjectName(qtTranslation);
    if (qt->load(QLocale(name), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
}

std::string LanguageManager::text(std::string_view key) const {
    return texts_.value(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())))
        .toStdString();
}

}  // namespace tvq
