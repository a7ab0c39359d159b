// Qt's own buttons speak Slovak in a Slovak window: the message boxes of
// every question VORK asks, and the file dialogs.
#include "vork/shell/qt_slovak.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vork::shell::test {
namespace {

struct ButtonCase {
    QDialogButtonBox::StandardButton button;
    const char* english;  // Qt's own text, which must not show
};

TEST(QtSlovak, StandardButtonsOfMessageBoxesAndButtonBoxesAreSlovak)
{
    QtSlovak slovak;
    ASSERT_TRUE(slovak.loadCatalogue()) << "Qt's Slovak catalogue (qt6-translations-l10n) is not installed";
    QApplication::installTranslator(&slovak);

    const ButtonCase cases[] = {
        {QDialogButtonBox::Yes, "&Yes"},
        {QDialogButtonBox::No, "&No"},
        {QDialogButtonBox::Cancel, "Cancel"},
        {QDialogButtonBox::Save, "Save"},
        {QDialogButtonBox::Close, "Close"},
    };
    QDialogButtonBox box;
    for (const ButtonCase& c : cases) {
        const QPushButton* b = box.addButton(c.button);
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->text().isEmpty());
        EXPECT_NE(b->text(), QString::fromLatin1(c.english)) << c.english;
    }
    // The question VORK asks most: its buttons are Áno and Nie.
    QMessageBox question(QMessageBox::Question, "VORK", "?", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove('&'), QString::fromUtf8("Áno"));
    EXPECT_EQ(question.button(QMessageBox::No)->text().remove('&'), QStringLiteral("Nie"));

    QApplication::removeTranslator(&slovak);
}

TEST(QtSlovak, TextsOutsideTheCatalogueStayAsTheyAre)
{
    QtSlovak slovak;
    ASSERT_TRUE(slovak.loadCatalogue());
    EXPECT_TRUE(slovak.translate("QPlatformTheme", "no such text in any catalogue").isEmpty());
    QtSlovak missing;
    EXPECT_FALSE(missing.loadCatalogue(QStringLiteral("/nonexistent")));
    EXPECT_TRUE(missing.isEmpty());
    EXPECT_TRUE(missing.translate("QPlatformTheme", "&Yes").isEmpty());
}

} // namespace
} // namespace vork::shell::test
