// Qt's own texts in German: the context menu of a text field, the standard
// buttons, the file and print dialogs. Forstrix speaks German whatever the
// system language, so Qt's German catalogue is loaded unconditionally.
#pragma once

class QCoreApplication;

namespace forstrix::ui {

// Installs Qt's German catalogue ("qtbase_de") on `app`; false when it is
// not found (Qt's texts then stay English, nothing else changes).
bool use_german_qt_texts(QCoreApplication& app);

}  // namespace forstrix::ui
