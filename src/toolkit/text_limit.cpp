#include "toolkit/text_limit.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace tvq {

void limitToWholeCharacters(QLineEdit* field, int maxUnits) {
    if (field == nullptr) {
        return;
    }
    // Room for one more unit, so that a pair can arrive whole and be cut.
    field->setMaxLength(maxUnits + 1);
    QObject::connect(field, &QLineEdit::textChanged, field, [field, maxUnits](const QString& text) {
        if (text.size() <= maxUnits) {
            return;
        }
        int n = maxUnits;
        if (text.at(n - 1).isHighSurrogate()) {
            --n;  // the pair goes whole or not at all
        }
        const int cursor = std::min(field->cursorPosition(), n);
        const QSignalBlocker quiet(field);
        field->setText(text.left(n));
        field->setCursorPosition(cursor);
    });
}

QString asciiDigits(const QString& text) {
    QString ascii;
    ascii.reserve(text.size());
    for (const QChar c : text) {
        const int digit = c.digitValue();
        ascii += digit >= 0 && digit <= 9 && c.category() == QChar::Number_DecimalDigit
                     ? QChar(u'0' + digit)
                     : c;
    }
    return ascii;
}

}  // namespace tvq
