#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QTranslator *install(QCoreApplication &application, const QLocale &locale, const QString &name,
                     const QString &folder)
{
    auto *translator = new QTranslator(&application);
    if (!translator->load(locale, name, QStringLiteral("_"), folder)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace

QList<QTranslator *> installTranslations(QCoreApplication &application, const QLocale &locale,
                                         const QString &catalogue)
{
    QList<QTranslator *> installed;
    for (QTranslator *translator :
         {install(application, locale, QStringLiteral("qtbase"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)),
          install(application, locale, catalogue, QStringLiteral(":/i18n"))}) {
        if (translator)
            installed << translator;
    }
    return installed;
}
