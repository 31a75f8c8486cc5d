#pragma once

#include <QList>

class QCoreApplication;
class QLocale;
class QTranslator;

// The panel's own texts (errors, warnings, the port dialog, --help) and Qt's (the Yes and
// No of a question, for one) in the user's language, where there is a translation: the
// panel's are built into it, Qt's come with the system's Qt. The panel's captions, the
// question's title and prompt and the scene file's name are the same in every language.
// Returns the translators installed, owned by the application.
QList<QTranslator *> installTranslations(QCoreApplication &application, const QLocale &locale);
