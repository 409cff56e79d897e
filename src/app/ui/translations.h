#pragma once
// Qt's own dialogs, buttons and calendars speak Chinese, whatever the user's locale is.
class QCoreApplication;

namespace kestrova::ui {

// Loads Qt's Chinese translations (qtbase) and makes Chinese the default locale for
// month and day names. Numbers the program formats itself are not affected: they never
// go through QLocale. Returns false when the translation files are not installed.
bool installChineseTranslations(QCoreApplication &app);

} // namespace kestrova::ui
