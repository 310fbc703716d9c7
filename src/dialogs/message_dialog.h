// The warning and confirmation box: a title key, a message key, OK and Cancel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/dialog_base.h"

namespace tvq {

class MessageDialog final : public DialogBase {
  public:
    // `arguments` take the places of "%1", "%2", … in the message's text.
    MessageDialog(const LanguageManager* language, QString titleKey, QString messageKey,
                  QWidget* owner, QStringList arguments = {});

    // Runs the box modally over `owner`, centred on it: 1 when the user
    // pressed OK, 0 for Cancel, Escape or closing it.
    static int ask(QWidget* owner, const LanguageManager* language, const QString& messageKey,
                   const QStringList& arguments = {});
    // The same with the arguments as the page's and the editors' logic give them.
    static int ask(QWidget* owner, const LanguageManager* language, std::string_view messageKey,
                   const std::vector<std::string>& arguments);

  protected:
    void setup() override;

  private:
    const LanguageManager* language_;
    QString titleKey_;
    QString messageKey_;
    QStringList arguments_;
};

}  // namespace tvq
