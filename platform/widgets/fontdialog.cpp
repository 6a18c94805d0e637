#include "fontdialog.h"

#include "commondialog.h"
#include "fontchoices.h"
#include "formdesign.h"
#include "namedcombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

// clang-format off
const FontDialog::NamedColour FontDialog::StandardColours[16] = {
    { 0x000000, u"黒" },       { 0x000080, u"マルーン" }, { 0x008000, u"緑" },
    { 0x008080, u"オリーブ" }, { 0x800000, u"ネイビー" }, { 0x800080, u"紫" },
    { 0x808000, u"ティール" }, { 0x808080, u"灰色" },     { 0xC0C0C0, u"シルバー" },
    { 0x0000FF, u"赤" },       { 0x00FF00, u"ライム" },   { 0x00FFFF, u"黄" },
    { 0xFF0000, u"青" },       { 0xFF00FF, u"フクシア" }, { 0xFFFF00, u"水色" },
    { 0xFFFFFF, u"白" },
};
// clang-format on

namespace {

// Style rows: the index is 2 for bold plus 1 for italic.
const char16_t *const StyleNames[] = { u"標準", u"斜体", u"太字", u"太字 斜体" };

const int ListedSizes[] = { 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 };

// Shown in the sample: Latin, hiragana, katakana and kanji, so a face that lacks Japanese shows it.
constexpr char16_t SampleText[] = u"Aa あぁアァ亜宇";

QIcon swatch(quint32 bgr)
{
    QPixmap pixmap(24, 12);
    pixmap.fill(FontChoices::colour(bgr));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

QString sizeText(float size)
{
    return QString::number(double(size), 'g', 6);
}

// Selects row in list without the list telling anyone, so a field the user is typing in keeps
// what was typed.
void selectQuietly(QListWidget *list, int row)
{
    const QSignalBlocker blocker(list);
    list->setCurrentRow(row);
    if (row >= 0)
        list->scrollToItem(list->item(row), QAbstractItemView::PositionAtCenter);
}

template<typename Widget> Widget *named(Widget *widget, const char16_t *name)
{
    widget->setObjectName(QString::fromUtf16(name));
    return widget;
}

QLabel *labelled(QWidget *parent, const char16_t *name, const char16_t *caption, QWidget *buddy)
{
    auto label = named(new QLabel(QString::fromUtf16(caption), parent), name);
    label->setBuddy(buddy);
    return label;
}

int findRow(const QListWidget *list, const QString &text, Qt::MatchFlags how)
{
    const QList<QListWidgetItem *> found = list->findItems(text, how);
    return found.isEmpty() ? -1 : list->row(found.first());
}

} // namespace

FontDialog::FontDialog(qint32 flags, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"FontDialog"_s);
    setWindowTitle(u"フォント"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(FormDesign::defaultFont());
    buildControls(flags & CommonDialog::Effects);
    listFaces(flags);
    setChoice(m_given);
}

void FontDialog::buildControls(bool effects)
{
    auto grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    buildLists(grid);
    buildButtons(grid);
    if (effects)
        buildEffects(grid);
    auto sampleGroup = named(new QGroupBox(u"サンプル"_s, this), u"sampleGroup");
    m_sample = named(new QLabel(QString::fromUtf16(SampleText), sampleGroup), u"sampleText");
    m_sample->setAlignment(Qt::AlignCenter);
    // A large size is clipped to the box, as on paper, instead of growing the dialog.
    m_sample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto sampleLayout = new QVBoxLayout(sampleGroup);
    sampleLayout->addWidget(m_sample);
    sampleGroup->setFixedHeight(90);
    grid->addWidget(sampleGroup, 4, 1, 1, 3, Qt::AlignTop);
}

// The face, style and size fields with their lists below them; picking in a list fills its
// field.
void FontDialog::buildLists(QGridLayout *grid)
{
    m_faceEdit = named(new QLineEdit(this), u"faceEdit");
    m_faceList = named(new QListWidget(this), u"faceList");
    m_styleEdit = named(new QLineEdit(this), u"styleEdit");
    m_styleEdit->setReadOnly(true);
    m_styleList = named(new QListWidget(this), u"styleList");
    for (const char16_t *style : StyleNames)
        m_styleList->addItem(QString::fromUtf16(style));
    m_sizeEdit = named(new QLineEdit(this), u"sizeEdit");
    m_sizeList = named(new QListWidget(this), u"sizeList");
    for (int size : ListedSizes)
        m_sizeList->addItem(QString::number(size));

    grid->addWidget(labelled(this, u"faceLabel", u"フォント名(&F):", m_faceEdit), 0, 0);
    grid->addWidget(labelled(this, u"styleLabel", u"スタイル(&Y):", m_styleList), 0, 1);
    grid->addWidget(labelled(this, u"sizeLabel", u"サイズ(&S):", m_sizeEdit), 0, 2);
    grid->addWidget(m_faceEdit, 1, 0);
    grid->addWidget(m_styleEdit, 1, 1);
    grid->addWidget(m_sizeEdit, 1, 2);
    grid->addWidget(m_faceList, 2, 0);
    grid->addWidget(m_styleList, 2, 1);
    grid->addWidget(m_sizeList, 2, 2);
    grid->setVerticalSpacing(2);
    grid->setRowMinimumHeight(3, 8);
    m_faceList->setFixedSize(190, 130);
    m_styleList->setFixedSize(110, 130);
    m_sizeList->setFixedSize(70, 130);

    // What a screen reader calls each, whatever it holds.
    for (const auto &[widget, name] :
         { std::pair<QWidget *, const char16_t *> { m_faceEdit, u"フォント名" },
           { m_faceList, u"フォント名の一覧" },
           { m_styleEdit, u"スタイル" },
           { m_styleList, u"スタイルの一覧" },
           { m_sizeEdit, u"サイズ" },
           { m_sizeList, u"サイズの一覧" } })
        widget->setAccessibleName(QString::fromUtf16(name));

    connect(m_faceList, &QListWidget::currentTextChanged, this, [this](const QString &face) {
        if (!face.isEmpty())
            m_faceEdit->setText(face);
        refresh();
    });
    connect(m_faceEdit, &QLineEdit::textEdited, this, &FontDialog::faceTyped);
    connect(m_styleList, &QListWidget::currentTextChanged, this, [this](const QString &style) {
        m_styleEdit->setText(style);
        refresh();
    });
    connect(m_sizeList, &QListWidget::currentTextChanged, this, [this](const QString &size) {
        if (!size.isEmpty())
            m_sizeEdit->setText(size);
        refresh();
    });
    connect(m_sizeEdit, &QLineEdit::textEdited, this, &FontDialog::sizeTyped);
}

void FontDialog::buildButtons(QGridLayout *grid)
{
    m_ok = named(new QPushButton(u"OK"_s, this), u"okButton");
    m_ok->setDefault(true);
    auto cancel = named(new QPushButton(u"キャンセル"_s, this), u"cancelButton");
    auto buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 3, 2, 1);
    grid->setColumnMinimumWidth(3, 90);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// Strikethrough, underline and the text colour.
void FontDialog::buildEffects(QGridLayout *grid)
{
    m_effects = named(new QGroupBox(u"文字飾り"_s, this), u"effectsGroup");
    m_strikethru = named(new QCheckBox(u"取り消し線(&K)"_s, m_effects), u"strikethruCheck");
    m_underline = named(new QCheckBox(u"下線(&U)"_s, m_effects), u"underlineCheck");
    m_colour = named(new QComboBox(m_effects), u"colourCombo");
    m_colour->setAccessibleName(u"色"_s);
    NamedCombo::keepName(m_colour);
    for (const NamedColour &c : StandardColours)
        m_colour->addItem(swatch(c.value), QString::fromUtf16(c.name), c.value);
    auto box = new QVBoxLayout(m_effects);
    box->addWidget(m_strikethru);
    box->addWidget(m_underline);
    box->addWidget(labelled(m_effects, u"colourLabel", u"色(&C):", m_colour));
    box->addWidget(m_colour);
    grid->addWidget(m_effects, 4, 0, Qt::AlignTop);
    connect(m_strikethru, &QCheckBox::toggled, this, &FontDialog::refresh);
    connect(m_underline, &QCheckBox::toggled, this, &FontDialog::refresh);
    connect(m_colour, &QComboBox::currentIndexChanged, this, &FontDialog::refresh);
}

void FontDialog::listFaces(qint32 flags)
{
    // Linux has one set of faces for the screen and the printer: either flag lists them all.
    if (!(flags & (CommonDialog::ScreenFonts | CommonDialog::PrinterFonts)))
        return;
    QStringList faces;
    for (const QString &family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family))
            faces << family;
    }
    std::sort(faces.begin(), faces.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
    m_faceList->addItems(faces);
}

void FontDialog::setChoice(const FontChoice &choice)
{
    m_given = choice;
    m_faceEdit->setText(choice.name());
    faceTyped(choice.name());
    m_styleList->setCurrentRow((choice.bold ? 2 : 0) + (choice.italic ? 1 : 0));
    m_sizeEdit->setText(sizeText(choice.size));
    sizeTyped(m_sizeEdit->text());
    if (m_effects) {
        m_strikethru->setChecked(choice.strikeOut);
        m_underline->setChecked(choice.underline);
        selectColour(choice.colour);
    }
    refresh();
}

FontChoice FontDialog::choice() const
{
    FontChoice choice = m_given;
    const QString face = listedFace();
    choice.families = { face.isEmpty() ? m_faceEdit->text() : face };
    choice.size = typedSize().value_or(m_given.size);
    const int style = std::max(m_styleList->currentRow(), 0);
    choice.bold = style & 2;
    choice.italic = style & 1;
    if (m_effects) {
        choice.strikeOut = m_strikethru->isChecked();
        choice.underline = m_underline->isChecked();
        choice.colour = m_colour->currentData().toUInt();
    }
    return choice;
}

// Typing a face selects the listed face it names, or the first that starts with it.
void FontDialog::faceTyped(const QString &text)
{
    int row = findRow(m_faceList, text, Qt::MatchFixedString);
    if (row < 0 && !text.isEmpty())
        row = findRow(m_faceList, text, Qt::MatchStartsWith);
    selectQuietly(m_faceList, row);
    refresh();
}

void FontDialog::sizeTyped(const QString &text)
{
    selectQuietly(m_sizeList, findRow(m_sizeList, text.trimmed(), Qt::MatchExactly));
    refresh();
}

void FontDialog::selectColour(quint32 colour)
{
    int index = m_colour->findData(colour);
    if (index < 0) {
        // A colour from outside the list is kept as it is rather than replaced by black.
        m_colour->addItem(swatch(colour), u"カスタム"_s, colour);
        index = m_colour->count() - 1;
    }
    m_colour->setCurrentIndex(index);
}

std::optional<float> FontDialog::typedSize() const
{
    bool ok = false;
    const float size = QLocale::c().toFloat(m_sizeEdit->text().trimmed(), &ok);
    if (!ok || !(size >= CommonDialog::MinimumFontSize && size <= CommonDialog::MaximumFontSize))
        return std::nullopt;
    return size;
}

// The face field's text as the list spells it, or empty when no listed face has that name.
QString FontDialog::listedFace() const
{
    const int row = findRow(m_faceList, m_faceEdit->text(), Qt::MatchFixedString);
    return row < 0 ? QString() : m_faceList->item(row)->text();
}

void FontDialog::refresh()
{
    const FontChoice now = choice();
    m_sample->setFont(FontChoices::toFont(now));
    QPalette palette = m_sample->palette();
    const QColor text = FontChoices::colour(now.colour);
    palette.setColor(QPalette::WindowText, text);
    // On white or black, whichever the chosen colour stands out from, whatever the scheme.
    const auto linear = [](double c) { return std::pow(c, 2.2); };
    const double light = 0.2126 * linear(text.redF()) + 0.7152 * linear(text.greenF())
        + 0.0722 * linear(text.blueF()) + 0.05;
    palette.setColor(QPalette::Window, 1.05 / light >= light / 0.05 ? Qt::white : Qt::black);
    m_sample->setAutoFillBackground(true);
    m_sample->setPalette(palette);
    // OK only for a face the list offers and a size in range, so the program never receives a
    // font that the document box would refuse.
    m_ok->setEnabled(!listedFace().isEmpty() && typedSize().has_value());
}
