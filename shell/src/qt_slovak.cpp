#include "vork/shell/qt_slovak.h"

#include <QLibraryInfo>
#include <QLocale>

#include <cstring>

namespace vork::shell {

bool QtSlovak::loadCatalogue(const QString& directory)
{
    const QString dir = directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    return catalogue_.load(QLocale(QLocale::Slovak, QLocale::Slovakia), QStringLiteral("qtbase"),
                           QStringLiteral("_"), dir);
}

QString QtSlovak::translate(const char* context, const char* sourceText, const char* disambiguation, int n) const
{
    QString text = catalogue_.translate(context, sourceText, disambiguation, n);
    // The standard buttons: asked for as the platform theme's, found as the
    // button box's.
    if (text.isEmpty() && context && std::strcmp(context, "QPlatformTheme") == 0)
        text = catalogue_.translate("QDialogButtonBox", sourceText, disambiguation, n);
    return text;
}

} // namespace vork::shell
