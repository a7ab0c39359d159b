#include "vork/shell/find_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringView>
#include <QVBoxLayout>

namespace vork::shell {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

namespace {

Qt::CaseSensitivity sensitivity(SearchOptions options)
{
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// A match of length len at at stands alone: no word character touches it
// on either side.
bool standsAlone(const QString& text, int at, int len, const QChar* before)
{
    const QChar left = before ? *before : (at > 0 ? text.at(at - 1) : QChar());
    if (!left.isNull() && isWordChar(left))
        return false;
    const int end = at + len;
    return end >= text.size() || !isWordChar(text.at(end));
}

} // namespace

bool matchesAt(const QString& text, const QString& pattern, int at, SearchOptions options, const QChar* before)
{
    const int len = static_cast<int>(pattern.size());
    if (len == 0 || at < 0 || at > text.size() - len)
        return false;
    if (QStringView(text).mid(at, len).compare(pattern, sensitivity(options)) != 0)
        return false;
    return !options.wholeWord || standsAlone(text, at, len, before);
}

int findForward(const QString& text, const QString& pattern, int from, SearchOptions options, const QChar* beforeFrom)
{
    if (pattern.isEmpty())
        return -1;
    if (from < 0) {
        from = 0;
        beforeFrom = nullptr;
    }
    const int len = static_cast<int>(pattern.size());
    for (int at = from;; ++at) {
        at = static_cast<int>(text.indexOf(pattern, at, sensitivity(options)));
        if (at < 0)
            return -1;
        if (!options.wholeWord || standsAlone(text, at, len, at == from ? beforeFrom : nullptr))
            return at;
    }
}

QVector<int> replaceAllPositions(const QString& text, const QString& pattern, const QString& replacement,
                                 int selectionStart, int selectionEnd, SearchOptions options)
{
    QVector<int> found;
    const int len = static_cast<int>(pattern.size());
    if (len == 0)
        return found;
    auto originalBefore = [&text](int at) { return at > 0 && at <= text.size() ? text.at(at - 1) : QChar(); };

    // pos: where the next search starts; before: the character in front of
    // pos in the text as replaced so far.
    int pos = selectionStart;
    QChar before = originalBefore(pos);
    if (selectionEnd > selectionStart) {
        if (selectionEnd - selectionStart == len && matchesAt(text, pattern, selectionStart, options)) {
            found.push_back(selectionStart);
            pos = selectionEnd;
            if (!replacement.isEmpty())
                before = replacement.back();
        } else {
            pos = selectionStart + 1;
            before = originalBefore(pos);
        }
    }
    for (;;) {
        const int at = findForward(text, pattern, pos, options, &before);
        if (at < 0)
            break;
        found.push_back(at);
        if (!replacement.isEmpty())
            before = replacement.back();
        else if (at > pos)
            before = text.at(at - 1);
        pos = at + len;
    }
    return found;
}

FindDialog::FindDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Hľadať"));
    setModal(false);
    hladanyText = new QLineEdit(this);
    hladanyText->setObjectName(QStringLiteral("hladanyText"));
    hladanyText->setMinimumWidth(220);
    velkePismena = new QCheckBox(QStringLiteral("Rozlišovať veľké a malé písmená"), this);
    velkePismena->setObjectName(QStringLiteral("velkePismena"));
    celeSlova = new QCheckBox(QStringLiteral("Len celé slová"), this);
    celeSlova->setObjectName(QStringLiteral("celeSlova"));
    hladatDalej = new QPushButton(QStringLiteral("Hľadať ďalej"), this);
    hladatDalej->setObjectName(QStringLiteral("hladatDalej"));
    hladatDalej->setDefault(true);
    zavriet = new QPushButton(QStringLiteral("Zavrieť"), this);
    zavriet->setObjectName(QStringLiteral("zavriet"));

    auto* outer = new QHBoxLayout(this);
    form_ = new QGridLayout;
    form_->addWidget(new QLabel(QStringLiteral("Hľadať:"), this), 0, 0);
    form_->addWidget(hladanyText, 0, 1);
    form_->addWidget(celeSlova, 2, 0, 1, 2);
    form_->addWidget(velkePismena, 3, 0, 1, 2);
    form_->setRowStretch(4, 1);
    outer->addLayout(form_, 1);
    buttons_ = new QVBoxLayout;
    buttons_->addWidget(hladatDalej);
    buttons_->addWidget(zavriet);
    buttons_->addStretch(1);
    outer->addLayout(buttons_);

    connect(hladatDalej, &QPushButton::clicked, this, &FindDialog::findNextRequested);
    connect(zavriet, &QPushButton::clicked, this, &QDialog::hide);
}

QString FindDialog::searchText() const
{
    return hladanyText->text();
}

void FindDialog::setSearchText(const QString& text)
{
    hladanyText->setText(text);
    hladanyText->selectAll();
}

SearchOptions FindDialog::options() const
{
    return {velkePismena->isChecked(), celeSlova->isChecked()};
}

ReplaceDialog::ReplaceDialog(QWidget* parent) : FindDialog(parent)
{
    setWindowTitle(QStringLiteral("Nahradiť"));
    nahraditText = new QLineEdit(this);
    nahraditText->setObjectName(QStringLiteral("nahraditText"));
    nahradit = new QPushButton(QStringLiteral("Nahradiť"), this);
    nahradit->setObjectName(QStringLiteral("nahradit"));
    nahraditVsetko = new QPushButton(QStringLiteral("Nahradiť všetko"), this);
    nahraditVsetko->setObjectName(QStringLiteral("nahraditVsetko"));

    form_->addWidget(new QLabel(QStringLiteral("Nahradiť čím:"), this), 1, 0);
    form_->addWidget(nahraditText, 1, 1);
    buttons_->insertWidget(1, nahradit);
    buttons_->insertWidget(2, nahraditVsetko);
    // Tab goes from the search text to the replacement, then on through
    // the boxes and the buttons in the order they are shown.
    setTabOrder(hladanyText, nahraditText);
    setTabOrder(nahraditText, celeSlova);
    setTabOrder(celeSlova, velkePismena);
    setTabOrder(velkePismena, hladatDalej);
    setTabOrder(hladatDalej, nahradit);
    setTabOrder(nahradit, nahraditVsetko);
    setTabOrder(nahraditVsetko, zavriet);

    connect(nahradit, &QPushButton::clicked, this, [this] { emit replaceRequested(false); });
    connect(nahraditVsetko, &QPushButton::clicked, this, [this] { emit replaceRequested(true); });
}

QString ReplaceDialog::replacementText() const
{
    return nahraditText->text();
}

} // namespace vork::shell
