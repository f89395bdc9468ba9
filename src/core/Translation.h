#pragma once
// Qt's own Brazilian Portuguese texts (file dialogs, print dialogs, context
// menus, standard buttons), from the system's Qt translations.

class QCoreApplication;

namespace brelvo::core {

// Installs the translation on the application; false when it is not found
// (the program then shows Qt's own texts in English).
bool installQtPortuguese(QCoreApplication *app);

} // namespace brelvo::core
