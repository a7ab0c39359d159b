// The window's five small modal dialogs: main settings, run and Jal
// arguments, project settings, removing a file from the project, and the
// About box.  Each is filled from the current values before it is shown
// and hands the user's choices over after OK through takeInto(), which the
// tests drive without showing anything.
#pragma once

#include "vork/project/argument_history.h"
#include "vork/project/configuration.h"
#include "vork/shell/prompter.h"

#include <QDialog>
#include <QFont>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vork {
class Projekt;
}

namespace vork::shell {

// The editor font sizes konfig.ide keeps.
constexpr int kMinFontSize = 2;
constexpr int kMaxFontSize = 99;

// The text of the font size box as a decimal integer (an optional sign,
// digits, blanks around them).  False with *error = the reason: not an
// integer, or a size konfig.ide could not keep.
bool parseFontSize(const QString& text, int* size, QString* error);

class Tdialog_nastavenie_C : public QDialog {
    Q_OBJECT
public:
    explicit Tdialog_nastavenie_C(Prompter& prompter, QWidget* parent = nullptr);
    void fill(const vork::Configuration& config);
    // After OK, in this order: compiler path, language, the two scanner
    // options, large tables, then the font size and the font name.  False
    // when the size is not taken: *error says why; size and name are left
    // as they were.
    bool takeInto(vork::Configuration& config, QString* error) const;

    // "Font ..." closed with OK: the window applies the font to the active
    // page's selection.
    std::function<void(const QFont&)> onFontChosen;

    QComboBox* cesta_k_C;
    QPushButton* Button1;
    QCheckBox* CheckBoxLexOptim;
    QCheckBox* CheckBoxLexStat;
    QCheckBox* CheckBoxSlov;
    QCheckBox* CheckBoxVelke; // "Veľké tabuľky": the generators' large-tables mode
    QCheckBox* CheckBoxRychly; // "Rýchly parser": the directly coded parser
    QLineEdit* FontName;
    QLineEdit* BoxFontSize;
    QPushButton* ButChangeFont;
    QPushButton* OK_buton;
    QPushButton* storno_buton;

private:
    void browseCompiler();
    void chooseFont();

    Prompter& prompter_;
};

class Tdialargum : public QDialog {
    Q_OBJECT
public:
    explicit Tdialargum(QWidget* parent = nullptr);
    void setCaptions(const QString& caption, const QString& groupCaption);
    // The history's items, most recent first; the current text.
    void fill(const vork::ArgumentHistory& history, const QString& text);
    // After OK: a new non-empty text goes on top of the history.  Returns
    // the text.
    QString takeInto(vork::ArgumentHistory& history) const;

    QComboBox* arg_prikaz_riadku;
    QGroupBox* group;
};

class Tnastav_proj : public QDialog {
    Q_OBJECT
public:
    explicit Tnastav_proj(Prompter& prompter, QWidget* parent = nullptr);
    void fill(const vork::Projekt& project);
    void takeInto(vork::Projekt& project) const;

    QCheckBox* CheckBox1;
    QLineEdit* Edit1;
    QPushButton* Button3;
    QCheckBox* CheckBox2;
    QPushButton* OK_buton;
    QPushButton* zrusit_buton;

private:
    Prompter& prompter_;
};

class Todstrokn : public QDialog {
    Q_OBJECT
public:
    explicit Todstrokn(QWidget* parent = nullptr);
    // The member files' names without directory, in project order.
    void fill(const vork::Projekt& project);
    int selectedIndex() const; // -1 without a selection

    QListWidget* ListBox1;
    QPushButton* odstranit_buton;
    QPushButton* storno_buton;
};

class Toprog_okno : public QDialog {
    Q_OBJECT
public:
    explicit Toprog_okno(QWidget* parent = nullptr);
    // "Verzia " + the version and the build.
    QString versionText() const;
};

} // namespace vork::shell
