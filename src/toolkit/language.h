// The language file "lan.xml": texts by key.
//
//   <language name="English">
//     <text key="no_mouse_note_text">No mouse is connected.</text>
//   </language>
//
// A key the file does not define answers the empty text.
#pragma once

#include <QHash>
#include <QString>

#include "base/text_source.h"

namespace tvq {

class LanguageManager final : public TextSource {
  public:
    // Reads the file; false (and no texts) when it is missing or malformed.
    bool load(const QString& path);
    QString text(const QString& key) const { return texts_.value(key); }
    std::string text(std::string_view key) const override;
    int size() const { return static_cast<int>(texts_.size()); }

  private:
    QHash<QString, QString> texts_;
};

}  // namespace tvq
