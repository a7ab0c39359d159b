// Qt's own texts (the buttons of message boxes and file dialogs, the
// context menu of a text field) in Slovak, as the rest of the window.
//
// Qt's Slovak catalogue still files the standard buttons under the button
// box's name, while Qt 6 asks for them under the platform theme's; without
// a bridge a Slovak message box says "Yes" and "No".
#pragma once

#include <QString>
#include <QTranslator>

namespace vork::shell {

class QtSlovak : public QTranslator {
public:
    // Reads Qt's Slovak catalogue from the directory (by default Qt's own
    // translations directory).  False when it is not there; the texts then
    // stay Qt's English ones.
    bool loadCatalogue(const QString& directory = QString());

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return catalogue_.isEmpty(); }

private:
    QTranslator catalogue_;
};

} // namespace vork::shell
