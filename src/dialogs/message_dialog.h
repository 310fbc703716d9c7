// The message box, in two kinds: a notice (a message and one OK) and a
// question (a message that names its object, a button with the verb that
// does it, and Cancel, which has the focus: Enter and Escape never do the
// thing by accident).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/dialog_base.h"

namespace tvq {

class MessageDialog final : public DialogBase {
  public:
    // `verbKey` empty: a notice; otherwise a question whose button says it.
    // `arguments` take the places of "%1", "%2", … in the message's text.
    MessageDialog(const LanguageManager* language, QString messageKey, QString verbKey,
                  QWidget* owner, QStringList arguments = {});

    // A notice, run modally over `owner`, centred on it.
    static void tell(QWidget* owner, const LanguageManager* language, const QString& messageKey,
                     const QStringList& arguments = {});
    static void tell(QWidget* owner, const LanguageManager* language, std::string_view messageKey,
                     const std::vector<std::string>& arguments);
    // A question: true when the user pressed the verb's button; false for
    // Cancel, Escape or closing it.
    static bool ask(QWidget* owner, const LanguageManager* language, std::string_view messageKey,
                    const std::vector<std::string>& arguments, std::string_view verbKey);
    // `pattern` with %1 … %9 replaced by `arguments`, in one pass (an
    // argument holding "%2" stays as it is).
    static QString filled(const QString& pattern, const QStringList& arguments);

  protected:
    void setup() override;

  private:
    static QStringList qArguments(const std::vector<std::string>& arguments);

    const LanguageManager* language_;
    QString messageKey_;
    QString verbKey_;
    QStringList arguments_;
};

}  // namespace tvq
