#pragma once

class QCoreApplication;
class QLocale;
class QTranslator;

// Qt's own texts (the Yes and No of a question, for one) in the user's language, from
// the translations that the system's Qt ships. Returns the installed translator, owned
// by the application, or nullptr when Qt has none for that language.
QTranslator *installQtTranslations(QCoreApplication &application, const QLocale &locale);
