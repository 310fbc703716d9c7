// Layouts: Qt Designer files under "res/" beside the program, loaded at run
// time into a window, with the texts of the language file shown where a
// control names a text key.
#pragma once

#include <QString>

class QWidget;

namespace tvq {

class LanguageManager;

// "<program folder>res/".
QString resourceFolder();

// Loads "res/<file>" as the only content of `host` and returns it; null (and
// a line on the debug channel) when the file is missing or malformed, which
// leaves `host` empty. Controls with the dynamic property "textKey" show that
// key's text; a combo whose "itemTextKeys" is set names each item by key.
QWidget* loadLayout(const QString& file, QWidget* host, const LanguageManager* language);

}  // namespace tvq
