// The warning and confirmation box: a title key, a message key, OK and Cancel.
#pragma once

#include "toolkit/window_base.h"

namespace tvq {

class CMsgWnd final : public WindowImplBase {
  public:
    CMsgWnd(const LanguageManager* language, QString titleKey, QString messageKey);

    // Runs the box modally over `owner`: 1 when the user pressed OK, 0 else.
    static int ask(QWidget* owner, const LanguageManager* language, const QString& messageKey);

  protected:
    void setup() override;
    void onClick(const Notification& n) override;

  private:
    const LanguageManager* language_;
    QString titleKey_;
    QString messageKey_;
};

}  // namespace tvq
