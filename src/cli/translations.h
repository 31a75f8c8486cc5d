#pragma once

#include <QList>

class QCoreApplication;
class QLocale;
class QString;
class QTranslator;

// A program's own texts (messages, --help, its window's words) and Qt's (the headings of
// the help, the Yes and No of a question) in the user's language, where there is a
// translation: the program's catalogue is built into it under :/i18n, Qt's come with the
// system's Qt. Returns the translators installed, owned by the application.
QList<QTranslator *> installTranslations(QCoreApplication &application, const QLocale &locale,
                                         const QString &catalogue);
