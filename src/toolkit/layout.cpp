#include "toolkit/layout.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QUiLoader>
#include <QVBoxLayout>

#include "base/debug.h"
#include "platform/program_folder.h"
#include "toolkit/language.h"

namespace tvq {
namespace {

// One loader for the process. Layouts use standard widgets only: with no
// plugin folders the loader never loads a Designer plugin (QtQuick's among
// them would cost more than a whole layout).
QUiLoader& loader() {
    static QUiLoader* const instance = [] {
        auto* l = new QUiLoader;  // lives as long as the process
        l->clearPluginPaths();
        l->setWorkingDirectory(QDir(resourceFolder()));
        return l;
    }();
    return *instance;
}

void showTexts(QWidget* content, const LanguageManager& language) {
    for (QWidget* w : content->findChildren<QWidget*>()) {
        if (auto* combo = qobject_cast<QComboBox*>(w);
            combo != nullptr && combo->property("itemTextKeys").toBool()) {
            for (int i = 0; i < combo->count(); ++i) {
                combo->setItemText(i, language.text(combo->itemText(i)));
            }
        }
        const QVariant key = w->property("textKey");
        if (!key.isValid()) {
            continue;
        }
        const QString text = language.text(key.toString());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            button->setText(text);
        }
    }
}

}  // namespace

QString resourceFolder() {
    return QString::fromStdString(programFolder()) + "res/";
}

QWidget* loadLayout(const QString& file, QWidget* host, const LanguageManager* language) {
    QFile source(resourceFolder() + file);
    if (!source.open(QIODevice::ReadOnly)) {
        debug::write("no layout " + source.fileName().toStdString() + "\n");
        return nullptr;
    }
    QWidget* content = loader().load(&source, host);
    if (content == nullptr) {
        debug::write("malformed layout " + file.toStdString() + ": " +
                     loader().errorString().toStdString() + "\n");
        return nullptr;
    }
    auto* box = new QVBoxLayout(host);  // owned by the host
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);
    host->resize(content->size());
    if (!content->windowTitle().isEmpty()) {
        host->setWindowTitle(content->windowTitle());
    }
    if (!content->styleSheet().isEmpty()) {
        host->setStyleSheet(content->styleSheet());
    }
    if (language != nullptr) {
        showTexts(content, *language);
    }
    return content;
}

}  // namespace tvq
