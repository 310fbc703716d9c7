// Layouts: Qt Designer files under "res/" beside the program, loaded at run
// time into a window, with the texts of the language file shown where a
// control names a text key.
//
// A widget of a layout whose dynamic property "deferred" is true is left out
// of the first build: an empty widget of the same name holds its place until
// LoadedLayout::buildDeferred() builds it, so that a window can show its
// first frame before the parts it does not show yet exist. A deferred widget
// within a deferred widget waits for the next buildDeferred(): a window can
// show the part in view first and the rest after it.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace tvq {

class LanguageManager;

// "<program folder>res/".
QString resourceFolder();

// A widget built from a layout's text (a row template); null when the text
// is malformed.
QWidget* buildWidget(const QByteArray& layoutText, QWidget* parent);

struct DeferredPart {
    QString name;
    QByteArray xml;  // the widget element
};

class LoadedLayout {
  public:
    // Loads "res/<file>" as the only content of `host`; with `deferParts`
    // false, deferred widgets are built at once. A missing or malformed file
    // leaves `host` empty (and a line on the debug channel).
    LoadedLayout(const QString& file, QWidget* host, const LanguageManager* language,
                 bool deferParts);

    QWidget* content() const { return content_; }
    bool hasDeferred() const { return !deferred_.empty(); }
    // Builds the deferred widgets waiting, each in its place and its place
    // in the Tab order. Without any waiting, does nothing. `prepare` is
    // given each part once it is built and shows its texts, before it is
    // put in its place (and shown, where that place is on screen).
    void buildDeferred(const std::function<void(QWidget*)>& prepare = {});

  private:
    QString file_;
    const LanguageManager* language_;
    QWidget* content_ = nullptr;
    std::vector<DeferredPart> deferred_;
};

}  // namespace tvq
