#include "vork/shell/dialogs.h"

#include "vork/progdir.h"
#include "vork/project/projekt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace vork::shell {

namespace {

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string toStd(const QString& s)
{
    return s.toStdString();
}

// An "OK" / cancel pair at the bottom right, with the modal results the
// callers test for.
QHBoxLayout* okCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel, const QString& okText,
                         const QString& cancelText)
{
    ok = new QPushButton(okText, dialog);
    ok->setDefault(true);
    cancel = new QPushButton(cancelText, dialog);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

bool parseFontSize(const QString& text, int* size, QString* error)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        ++i;
    bool digits = i < t.size();
    for (qsizetype j = i; j < t.size(); ++j)
        if (t.at(j) < QLatin1Char('0') || t.at(j) > QLatin1Char('9'))
            digits = false;
    bool ok = false;
    const int value = digits ? t.toInt(&ok, 10) : 0;
    if (!ok) {
        *error = QStringLiteral("'") + text + QStringLiteral("' nie je platné celé číslo");
        return false;
    }
    if (value < kMinFontSize || value > kMaxFontSize) {
        *error = QStringLiteral("Veľkosť písma %1 nie je od %2 do %3").arg(value).arg(kMinFontSize).arg(kMaxFontSize);
        return false;
    }
    *size = value;
    return true;
}

// ---- Tdialog_nastavenie_C ----------------------------------------------------

Tdialog_nastavenie_C::Tdialog_nastavenie_C(Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter)
{
    setObjectName(QStringLiteral("dialog_nastavenie_C"));
    setWindowTitle(QStringLiteral("Nastavenia ..."));

    auto* compilerGroup = new QGroupBox(QStringLiteral("Cesta k externému prekladaču jazyka C"), this);
    cesta_k_C = new QComboBox(compilerGroup);
    cesta_k_C->setObjectName(QStringLiteral("cesta_k_C"));
    cesta_k_C->setEditable(true);
    cesta_k_C->setInsertPolicy(QComboBox::NoInsert);
    cesta_k_C->setMinimumContentsLength(40);
    Button1 = new QPushButton(QStringLiteral("Prehľadávať"), compilerGroup);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto* compilerRow = new QHBoxLayout(compilerGroup);
    compilerRow->addWidget(cesta_k_C, 1);
    compilerRow->addWidget(Button1);

    auto* lexGroup = new QGroupBox(QStringLiteral("LEX"), this);
    CheckBoxLexOptim = checkBox(lexGroup, "CheckBoxLexOptim", QStringLiteral("Optimalizácia"));
    CheckBoxLexStat = checkBox(lexGroup, "CheckBoxLexStat", QStringLiteral("Statistika"));
    auto* lexColumn = new QVBoxLayout(lexGroup);
    lexColumn->addWidget(CheckBoxLexOptim);
    lexColumn->addWidget(CheckBoxLexStat);

    CheckBoxSlov = checkBox(this, "CheckBoxSlov", QStringLiteral("Slovenský jazyk"));
    CheckBoxVelke = checkBox(this, "CheckBoxVelke", QStringLiteral("Veľké tabuľky"));
    CheckBoxRychly = checkBox(this, "CheckBoxRychly", QStringLiteral("Rýchly parser"));
    CheckBoxRychly->setToolTip(QStringLiteral("Parser kódovaný priamo, stav po stave: rýchlejší, "
                                              "ale väčší program. V ladiacom režime sa nepoužije."));

    auto* fontGroup = new QGroupBox(QStringLiteral("Font"), this);
    FontName = new QLineEdit(fontGroup);
    FontName->setObjectName(QStringLiteral("FontName"));
    BoxFontSize = new QLineEdit(fontGroup);
    BoxFontSize->setObjectName(QStringLiteral("BoxFontSize"));
    BoxFontSize->setMaximumWidth(60);
    ButChangeFont = new QPushButton(QStringLiteral("Font ..."), fontGroup);
    ButChangeFont->setObjectName(QStringLiteral("ButChangeFont"));
    auto* fontForm = new QFormLayout(fontGroup);
    fontForm->addRow(QStringLiteral("Font editora:"), FontName);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(BoxFontSize);
    sizeRow->addStretch(1);
    sizeRow->addWidget(ButChangeFont);
    fontForm->addRow(QStringLiteral("Veľkosť:"), sizeRow);

    auto* column = new QVBoxLayout(this);
    column->addWidget(compilerGroup);
    auto* middle = new QHBoxLayout;
    middle->addWidget(lexGroup);
    auto* languageColumn = new QVBoxLayout;
    languageColumn->addWidget(CheckBoxSlov);
    languageColumn->addWidget(CheckBoxVelke);
    languageColumn->addWidget(CheckBoxRychly);
    languageColumn->addStretch(1);
    middle->addLayout(languageColumn);
    column->addLayout(middle);
    column->addWidget(fontGroup);
    column->addLayout(okCancelRow(this, OK_buton, storno_buton, QStringLiteral("OK"), QStringLiteral("Storno")));
    OK_buton->setObjectName(QStringLiteral("OK_buton"));
    storno_buton->setObjectName(QStringLiteral("storno_buton"));

    connect(Button1, &QPushButton::clicked, this, &Tdialog_nastavenie_C::browseCompiler);
    connect(ButChangeFont, &QPushButton::clicked, this, &Tdialog_nastavenie_C::chooseFont);
}

void Tdialog_nastavenie_C::fill(const vork::Configuration& config)
{
    const QString path = fromStd(config.cCompilerPath);
    if (cesta_k_C->findText(path) < 0)
        cesta_k_C->insertItem(0, path);
    cesta_k_C->setCurrentText(path);
    CheckBoxLexOptim->setChecked(config.scannerOptimisation);
    CheckBoxLexStat->setChecked(config.scannerStatistics);
    CheckBoxSlov->setChecked(config.slovakMessages);
    CheckBoxVelke->setChecked(config.largeTables);
    CheckBoxRychly->setChecked(config.fastParser);
    FontName->setText(fromStd(config.fontName));
    BoxFontSize->setText(QString::number(config.fontSize));
}

bool Tdialog_nastavenie_C::takeInto(vork::Configuration& config, QString* error) const
{
    config.cCompilerPath = toStd(cesta_k_C->currentText());
    config.slovakMessages = CheckBoxSlov->isChecked();
    config.scannerOptimisation = CheckBoxLexOptim->isChecked();
    config.scannerStatistics = CheckBoxLexStat->isChecked();
    config.largeTables = CheckBoxVelke->isChecked();
    config.fastParser = CheckBoxRychly->isChecked();
    int size = 0;
    QString why;
    if (!parseFontSize(BoxFontSize->text(), &size, &why)) {
        if (error)
            *error = why;
        return false;
    }
    config.fontSize = size;
    config.fontName = toStd(FontName->text());
    return true;
}

void Tdialog_nastavenie_C::browseCompiler()
{
    Prompter::FileDialog d;
    d.mode = Prompter::FileDialog::Mode::Open;
    d.title = QStringLiteral("Hľadanie programu ...");
    // Linux programs have no extension to filter by: "Programy" lists the
    // files the user may run.
    d.filters = {QStringLiteral("Programy (*)"), QStringLiteral("Všetky súbory (*)")};
    d.mustExist = true;
    d.executablesOnly = true;
    const QFileInfo current(cesta_k_C->currentText());
    if (current.isAbsolute())
        d.directory = current.absolutePath();
    const QString chosen = prompter_.chooseFile(this, d);
    if (!chosen.isEmpty())
        cesta_k_C->setCurrentText(chosen);
}

void Tdialog_nastavenie_C::chooseFont()
{
    QFont font(FontName->text());
    int size = 0;
    QString ignored;
    if (parseFontSize(BoxFontSize->text(), &size, &ignored))
        font.setPointSize(size);
    if (!prompter_.chooseFont(this, font, 8))
        return;
    if (onFontChosen)
        onFontChosen(font);
    FontName->setText(font.family());
    if (font.pointSize() > 0)
        BoxFontSize->setText(QString::number(font.pointSize()));
}

// ---- Tdialargum --------------------------------------------------------------

Tdialargum::Tdialargum(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dialargum"));
    setWindowTitle(QStringLiteral("Argumenty príkazového riadku ..."));
    group = new QGroupBox(QStringLiteral("Argumenty príkazového riadku"), this);
    group->setObjectName(QStringLiteral("group"));
    arg_prikaz_riadku = new QComboBox(group);
    arg_prikaz_riadku->setObjectName(QStringLiteral("arg_prikaz_riadku"));
    arg_prikaz_riadku->setEditable(true);
    // The history is the project's: the combo box must not add to it on
    // its own when Enter is pressed.
    arg_prikaz_riadku->setInsertPolicy(QComboBox::NoInsert);
    arg_prikaz_riadku->setMinimumContentsLength(40);
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addWidget(arg_prikaz_riadku);

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addLayout(okCancelRow(this, ok, cancel, QStringLiteral("OK"), QStringLiteral("Storno")));
}

void Tdialargum::setCaptions(const QString& caption, const QString& groupCaption)
{
    setWindowTitle(caption);
    group->setTitle(groupCaption);
}

void Tdialargum::fill(const vork::ArgumentHistory& history, const QString& text)
{
    arg_prikaz_riadku->clear();
    for (const std::string& item : history.items())
        arg_prikaz_riadku->addItem(fromStd(item));
    arg_prikaz_riadku->setCurrentText(text);
}

QString Tdialargum::takeInto(vork::ArgumentHistory& history) const
{
    const QString text = arg_prikaz_riadku->currentText();
    history.add(toStd(text));
    return text;
}

// ---- Tnastav_proj ------------------------------------------------------------

Tnastav_proj::Tnastav_proj(Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter)
{
    setObjectName(QStringLiteral("nastav_proj"));
    setWindowTitle(QStringLiteral("Nastavenie projektu"));
    CheckBox1 = checkBox(this, "CheckBox1", QStringLiteral("Nastaviť zdrojový súbor pre externý prekladač C"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(300);
    Button3 = new QPushButton(QStringLiteral("Prehľadávať"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    CheckBox2 = checkBox(this, "CheckBox2", QStringLiteral("Stále volať externý prekladač"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(CheckBox1);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(Edit1, 1);
    sourceRow->addWidget(Button3);
    column->addLayout(sourceRow);
    column->addWidget(CheckBox2);
    column->addLayout(okCancelRow(this, OK_buton, zrusit_buton, QStringLiteral("OK"), QStringLiteral("Zrušiť")));

    auto follow = [this](bool on) {
        Edit1->setEnabled(on);
        Button3->setEnabled(on);
    };
    connect(CheckBox1, &QCheckBox::toggled, this, follow);
    follow(CheckBox1->isChecked());

    connect(Button3, &QPushButton::clicked, this, [this] {
        Prompter::FileDialog d;
        d.mode = Prompter::FileDialog::Mode::Open;
        d.title = QStringLiteral("Hľadanie súboru");
        d.filters = {QStringLiteral("Všetky súbory (*)")};
        const QString chosen = prompter_.chooseFile(this, d);
        if (!chosen.isEmpty())
            Edit1->setText(chosen);
    });
}

void Tnastav_proj::fill(const vork::Projekt& project)
{
    CheckBox1->setChecked(!project.isDefaultCSource());
    Edit1->setText(fromStd(project.getCSource()));
    CheckBox2->setChecked(project.alwaysCompile());
}

void Tnastav_proj::takeInto(vork::Projekt& project) const
{
    if (CheckBox1->isChecked())
        project.setCSource(toStd(Edit1->text()));
    else
        project.setDefaultCSource();
    project.setAlwaysCompile(CheckBox2->isChecked());
}

// ---- Todstrokn ---------------------------------------------------------------

Todstrokn::Todstrokn(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("odstrokn"));
    setWindowTitle(QStringLiteral("Odstrániť súbor z projektu"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* column = new QVBoxLayout(this);
    column->addWidget(ListBox1);
    column->addLayout(
        okCancelRow(this, odstranit_buton, storno_buton, QStringLiteral("Odstrániť"), QStringLiteral("Storno")));
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void Todstrokn::fill(const vork::Projekt& project)
{
    ListBox1->clear();
    for (const std::string& path : project.memberFiles())
        ListBox1->addItem(QFileInfo(fromStd(path)).fileName());
}

int Todstrokn::selectedIndex() const
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

// ---- Toprog_okno -------------------------------------------------------------

namespace {

// The About box's picture: drawn, so that the program needs no image file.
QPixmap aboutPicture()
{
    QPixmap picture(96, 96);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(4, 4, 88, 88, 14, 14);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(26);
    p.setFont(font);
    p.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("VORK"));
    return picture;
}

} // namespace

Toprog_okno::Toprog_okno(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("oprog_okno"));
    setWindowTitle(QStringLiteral("O programe VORK"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("obrazok"));
    picture->setPixmap(aboutPicture());
    auto* title = new QLabel(QStringLiteral("Korvalen"), this);
    title->setObjectName(QStringLiteral("titul"));
    QFont big = title->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() > 0 ? big.pointSize() * 2 : 18);
    title->setFont(big);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("verzia"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(texts, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addLayout(row);
}

QString Toprog_okno::versionText() const
{
    QString text = QStringLiteral("Verzia ") + QString::fromLatin1(vork::versionString());
    // The build names the revision the programs were built from.
    const QString build = QString::fromLatin1(vork::buildId());
    if (!build.isEmpty() && build != QLatin1String("unknown"))
        text += QStringLiteral(" (") + build + QLatin1Char(')');
    return text;
}

} // namespace vork::shell
