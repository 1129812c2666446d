#include "app/Qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

bool QtTranslations::install(QCoreApplication& application)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // The application owns it: the texts are looked up as long as it runs.
    translator->setParent(&application);
    return QCoreApplication::installTranslator(translator.release());
}
