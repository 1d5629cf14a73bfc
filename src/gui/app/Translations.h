#pragma once

#include <QLocale>

// The program's texts and Qt's own (standard buttons, file dialogs) in the
// user's language, where a translation exists; English otherwise.
namespace Translations {

// Installs the translators for `locale` on the running application. Returns
// whether the program's own translation was found (English needs none).
bool install(const QLocale &locale = QLocale());

}  // namespace Translations
