// The language file "lan.xml": texts by key.
//
//   <language name="English">
//     <text key="no_mouse_note_text">No mouse is connected.</text>
//   </language>
//
// A key the file does not define answers the empty text. A translation
// ("res/lang/<code>.xml", the same form) is laid over the English texts:
// a key it lacks keeps its English text, a key English lacks is ignored,
// and a later translation replaces an earlier one.
#pragma once

#include <QHash>
#include <QString>

#include "base/text_source.h"

namespace tvq {

class LanguageManager final : public TextSource {
  public:
    // Reads the file; false (and no texts) when it is missing or malformed.
    bool load(const QString& path);
    // Lays the translation at `path` over the English texts; false (the
    // texts as they were) when it is missing or malformed.
    bool translate(const QString& path);
    // The English texts again.
    void showEnglish() { texts_ = english_; }
    QString text(const QString& key) const { return texts_.value(key); }
    std::string text(std::string_view key) const override;
    int size() const { return static_cast<int>(texts_.size()); }

  private:
    static bool read(const QString& path, QHash<QString, QString>& texts);
    QHash<QString, QString> english_;  // as load read them
    QHash<QString, QString> texts_;    // shown: English with a translation over it
};

// Shows the translation `code` ("de", "pt_BR") of "res/lang/" over the
// English texts of `language`, with Qt's own translation for its standard
// dialogs where the system has it; an empty code shows English. Replaces
// what an earlier call showed.
void showLanguage(LanguageManager& language, const std::string& code);

}  // namespace tvq
